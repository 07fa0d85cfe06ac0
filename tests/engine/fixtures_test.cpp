// Every sample table opens, its header matches the summary written beside it, and
// every record and memo reads without error. Values are compared with an outside
// reader by compare_dbfread.py; here a few are pinned by hand.
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "dbf/record.h"
#include "table/table.h"
#include "temp_dir.h"

using ace::table::Table;
using ace_test::fixture;

namespace {

struct Summary {
  int version = -1;
  uint32_t records = 0;
  std::vector<std::tuple<std::string, char, int, int>> fields;
};

Summary read_summary(const std::string& path) {
  std::ifstream in(path);
  Summary s;
  std::string line;
  bool in_fields = false;
  while (std::getline(in, line)) {
    if (line.rfind("Type: (", 0) == 0) s.version = std::stoi(line.substr(7, 2), nullptr, 16);
    if (line.rfind("Records: ", 0) == 0) s.records = static_cast<uint32_t>(std::stoul(line.substr(9)));
    if (line.rfind("-----", 0) == 0) { in_fields = true; continue; }
    if (in_fields) {
      std::istringstream ls(line);
      std::string name, type;
      int len, dec;
      if (ls >> name >> type >> len >> dec) s.fields.emplace_back(name, type[0], len, dec);
      else if (!line.empty()) in_fields = false;
    }
  }
  return s;
}

std::unique_ptr<Table> open_read_only(const std::string& path) {
  std::unique_ptr<Table> t;
  ace::table::OpenOptions o;
  o.read_only = true;
  ace::Status s = Table::open(path, o, &t);
  EXPECT_TRUE(s.ok()) << path << ": " << s.text;
  return t;
}

// Reads every record and memo; answers the number of memos with text.
int read_everything(Table& t) {
  int memos = 0;
  for (uint32_t r = 1; r <= t.known_record_count(); ++r) {
    std::string rec;
    EXPECT_TRUE(t.read_record(r, &rec).ok());
    for (const auto& f : t.header().fields) {
      if (!f.is_memo()) continue;
      std::string text;
      ace::Status s = t.read_memo(ace::dbf::memo_block(t.header(), rec, f), &text);
      EXPECT_TRUE(s.ok()) << t.path() << " record " << r << " " << f.name << ": " << s.text;
      memos += !text.empty();
    }
  }
  return memos;
}

class SummarisedFixture : public ::testing::TestWithParam<const char*> {};

TEST_P(SummarisedFixture, HeaderMatchesSummaryAndEveryRecordReads) {
  const std::string name = GetParam();
  Summary want = read_summary(fixture(name + "_summary.txt"));
  ASSERT_FALSE(want.fields.empty());
  auto t = open_read_only(fixture(name + ".dbf"));
  ASSERT_TRUE(t);
  EXPECT_EQ(t->header().version, want.version);
  EXPECT_EQ(t->known_record_count(), want.records);
  std::vector<std::tuple<std::string, char, int, int>> got;
  for (const auto& f : t->header().fields)
    if (!f.is_system()) got.emplace_back(f.name, static_cast<char>(f.type), f.length, f.decimals);
  EXPECT_EQ(got, want.fields);
  EXPECT_GT(read_everything(*t), 0) << "every summarised sample has memos";
}

INSTANTIATE_TEST_SUITE_P(Samples, SummarisedFixture,
                         ::testing::Values("dbase_30", "dbase_83", "dbase_8b", "dbase_f5"));

TEST(Fixtures, TablesWithoutSummaryOpenWithTheirFieldCounts) {
  const std::pair<const char*, size_t> tables[] = {
      {"calls.dbf", 6}, {"contacts.dbf", 29}, {"setup.dbf", 2}, {"types.dbf", 2},
      {"FOXPRO-DB-TEST.DBC", 8}, {"dbase_03.dbf", 31}};
  for (const auto& [file, fields] : tables) {
    auto t = open_read_only(fixture(file));
    ASSERT_TRUE(t) << file;
    EXPECT_EQ(t->header().fields.size(), fields) << file;
    read_everything(*t);
  }
}

TEST(Fixtures, PinnedValues) {
  auto t = open_read_only(fixture("dbase_8b.dbf"));
  ASSERT_TRUE(t);
  std::string rec;
  ASSERT_TRUE(t->read_record(1, &rec).ok());
  const auto& h = t->header();
  EXPECT_EQ(ace::dbf::get_text(h, rec, h.fields[0]).substr(0, 11), "One        ");
  bool ok;
  EXPECT_DOUBLE_EQ(ace::dbf::get_number(rec, h.fields[1], &ok), 1.0);
  EXPECT_EQ(ace::dbf::get_text(h, rec, h.fields[2]), "19700101");
  EXPECT_EQ(ace::dbf::get_logical(rec, h.fields[3]), 1);
  std::string memo;
  ASSERT_TRUE(t->read_memo(ace::dbf::memo_block(h, rec, h.fields[5]), &memo).ok());
  EXPECT_EQ(memo, "First memo\r\n");

  // Visual FoxPro: integer and date-time fields, binary memo pointers.
  auto calls = open_read_only(fixture("calls.dbf"));
  ASSERT_TRUE(calls);
  ASSERT_TRUE(calls->read_record(1, &rec).ok());
  const auto& ch = calls->header();
  EXPECT_EQ(ace::dbf::get_text(ch, rec, ch.fields[0]), "1");
  EXPECT_EQ(ace::dbf::get_text(ch, rec, ch.fields[2]), "19941121133539");
  // 13:35:38.999 shows as the second it rounds to.
  EXPECT_EQ(ace::dbf::get_text(ch, rec, ch.fields[3]), "18991230133539");
}

}  // namespace
