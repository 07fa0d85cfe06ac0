// The command line, help pages, CSV quoting and text conversion.
#include <gtest/gtest.h>

#include "command_line.h"
#include "csv_writer.h"
#include "dbfcheck_run.h"
#include "text_encoding.h"

using namespace dbfcheck;
using dbfchecktest::run_tool;

namespace {

struct ParseCase {
  std::vector<std::string> args;
  bool ok;
  Command command;
  std::string table, tag;
  bool oem;
  std::string why;  // part of the reason when !ok
};

class ParseTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseTest, ReadsTheWords) {
  const ParseCase& c = GetParam();
  Invocation inv;
  std::string why;
  ASSERT_EQ(parse_command_line(c.args, &inv, &why), c.ok) << why;
  if (!c.ok) {
    EXPECT_NE(why.find(c.why), std::string::npos) << why;
    return;
  }
  EXPECT_EQ(inv.command, c.command);
  EXPECT_EQ(inv.table, c.table);
  EXPECT_EQ(inv.tag, c.tag);
  EXPECT_EQ(inv.oem, c.oem);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseTest,
    ::testing::Values(
        ParseCase{{"info", "a.dbf"}, true, Command::Info, "a.dbf", "", false, ""},
        ParseCase{{"dump", "a.dbf", "--tag", "NAME", "--oem"}, true, Command::Dump, "a.dbf", "NAME", true, ""},
        ParseCase{{"dump", "--tag=name", "a.dbf"}, true, Command::Dump, "a.dbf", "name", false, ""},
        ParseCase{{"verify", "--", "-odd.dbf"}, true, Command::Verify, "-odd.dbf", "", false, ""},
        ParseCase{{}, false, Command::None, "", "", false, "no command"},
        ParseCase{{"fix", "a.dbf"}, false, Command::None, "", "", false, "unknown command 'fix'"},
        ParseCase{{"verify"}, false, Command::None, "", "", false, "verify needs a table"},
        ParseCase{{"verify", "a.dbf", "b.dbf"}, false, Command::None, "", "", false, "more than one table"},
        ParseCase{{"verify", "a.dbf", "--tag", "X"}, false, Command::None, "", "", false, "--tag is an option of dump"},
        ParseCase{{"dump", "a.dbf", "--tag"}, false, Command::None, "", "", false, "--tag needs a tag name"},
        ParseCase{{"info", "a.dbf", "--fast"}, false, Command::None, "", "", false, "unknown option '--fast'"}));

TEST(Help, EveryCommandHasItsPageAndUsageErrorsExitTwo) {
  for (const char* cmd : {"info", "dump", "verify", "reindex"}) {
    auto a = run_tool({cmd, "--help"});
    auto b = run_tool({"help", cmd});
    EXPECT_EQ(a.code, 0);
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(a.out.rfind(std::string("usage: dbfcheck ") + cmd, 0), 0u) << a.out;
  }
  auto top = run_tool({"--help"});
  EXPECT_EQ(top.code, 0);
  EXPECT_NE(top.out.find("reindex"), std::string::npos);

  auto bad = run_tool({"dump"});
  EXPECT_EQ(bad.code, 2);
  EXPECT_TRUE(bad.out.empty());
  EXPECT_NE(bad.err.find("dump needs a table"), std::string::npos);
}

TEST(Csv, QuotesOnlyWhatNeedsIt) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain", "plain"},          {"", ""},
      {"a,b", "\"a,b\""},          {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\r\nlines", "\"two\r\nlines\""}, {"lf\nonly", "\"lf\nonly\""},
  };
  for (const auto& c : cases) EXPECT_EQ(csv_field(c.first), c.second);
  std::ostringstream out;
  write_csv_row(out, {"*", "x,y", ""});
  EXPECT_EQ(out.str(), "*,\"x,y\",\r\n");
}

TEST(TextEncoding, AnsiAndOemBytesBecomeUtf8) {
  EXPECT_EQ(utf8_from_1252("abc"), "abc");
  EXPECT_EQ(utf8_from_1252("\x80"), "\xE2\x82\xAC");             // euro sign
  EXPECT_EQ(utf8_from_1252("\xF1"), "\xC3\xB1");                 // n with tilde
  EXPECT_EQ(utf8_from_1252("\x81"), "\xC2\x81");                 // undefined: kept as U+0081
  EXPECT_EQ(utf8_from_table_text("\xA4", false), "\xC2\xA4");    // 1252: currency sign
  EXPECT_EQ(utf8_from_table_text("\xA4", true), "\xC3\xB1");     // 850: n with tilde
  EXPECT_EQ(utf8_from_table_text("Ca\xA4o", true), "Ca\xC3\xB1o");
}

}  // namespace
