#include "command_line.h"

#include <gtest/gtest.h>

namespace {

struct Case {
  const char* line;
  std::vector<std::string> words;  // after the program's name
  const char* help_path;           // first argument of MAIN, nullptr when unset
};

std::string first_argument(const std::string& line, bool* set) {
  auto args = inst::main_arguments(inst::argument_table("C:\\p\\ayudainst.exe", inst::cut_command_line(line)));
  *set = !args.empty();
  return *set ? args.front() : "";
}

TEST(CommandLine, CutsAtBlanksOnlyAndDropsSwitches) {
  const Case cases[] = {
      {"ayudainst.exe", {}, nullptr},
      {"\"C:\\Prog files\\ayudainst.exe\"", {}, nullptr},
      {"\"C:\\Prog files\\ayudainst.exe\" C:\\a.chm", {"C:\\a.chm"}, "C:\\a.chm"},
      {"\"C:\\Prog files\\ayudainst.exe\"C:\\a.chm", {"C:\\a.chm"}, "C:\\a.chm"},
      {"\"unclosed name a b", {}, nullptr},
      {"prog.exe //X", {"//X"}, nullptr},
      {"prog.exe //", {"//"}, nullptr},
      {"prog.exe //X C:\\a.chm", {"//X", "C:\\a.chm"}, "C:\\a.chm"},
      {"prog.exe /X", {"/X"}, "/X"},
      {"prog.exe /", {"/"}, "/"},
      {"prog.exe C:\\a.chm C:\\b.chm", {"C:\\a.chm", "C:\\b.chm"}, "C:\\a.chm"},
      {"prog.exe C:\\Mis documentos\\ayuda.chm", {"C:\\Mis", "documentos\\ayuda.chm"}, "C:\\Mis"},
      {"prog.exe \"C:\\Mis documentos\\ayuda.chm\"", {"\"C:\\Mis", "documentos\\ayuda.chm\""}, "\"C:\\Mis"},
      {"prog.exe    C:\\a.chm    ", {"C:\\a.chm"}, "C:\\a.chm"},
      // Characters 1..32 after the name are skipped; after that only blanks cut.
      {"prog.exe\t\t C:\\a.chm", {"C:\\a.chm"}, "C:\\a.chm"},
      {"prog.exe C:\\a\tb.chm", {"C:\\a\tb.chm"}, "C:\\a\tb.chm"},
      {"prog.exe a \t b", {"a", "\t", "b"}, "a"},
      {"prog.exe\x01\x1f" "x", {"x"}, "x"},
      // Bytes above 127 are ordinary, also in the program's name.
      {"d\xE9mo.exe ayuda\xF1.chm", {"ayuda\xF1.chm"}, "ayuda\xF1.chm"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(inst::cut_command_line(c.line), c.words);
    bool set = false;
    const std::string first = first_argument(c.line, &set);
    EXPECT_EQ(set, c.help_path != nullptr);
    if (c.help_path) {
      EXPECT_EQ(first, c.help_path);
    }
  }
}

TEST(CommandLine, ArgumentTableKeepsPathAndFirst19Words) {
  std::string line = "prog.exe";
  for (int k = 1; k <= 25; ++k) line += " w" + std::to_string(k);
  const auto table = inst::argument_table("C:\\x\\prog.exe", inst::cut_command_line(line));
  ASSERT_EQ(table.size(), 20u);
  EXPECT_EQ(table.front(), "C:\\x\\prog.exe");
  EXPECT_EQ(table.back(), "w19");

  // Nineteen switches first: the path after them does not fit, so MAIN gets nothing.
  std::string switches = "prog.exe";
  for (int k = 0; k < 19; ++k) switches += " //s";
  bool set = true;
  first_argument(switches + " C:\\a.chm", &set);
  EXPECT_FALSE(set);
  EXPECT_EQ(first_argument(switches.substr(0, switches.size() - 4) + " C:\\a.chm", &set), "C:\\a.chm");
}

}  // namespace
