// Starting the installer: runs that must end at once, and the engine calls of a real run.
#include <gtest/gtest.h>

#include <sstream>
#include <vector>

#include "installer_scenario_win32.h"
#include "uidriver/file_tree_win32.h"
#include "uidriver/screenshot_win32.h"
#include "uidriver/windows_win32.h"

namespace e2e {
namespace {

std::vector<std::string> recorded_calls(const std::string& record_file) {
  std::vector<std::string> lines;
  std::istringstream in(read_file(record_file).value_or(""));
  for (std::string line; std::getline(in, line);) {
    while (!line.empty() && (line.back() == ' ' || line.back() == '\r')) line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> expected_calls() {
  return {"201 1", "140 1950", "135 dd-mm-yy", "156 0", "3"};
}

// Every run below uses the recording engine, whose log lands in the scenario's folder.
struct RecordedInstallation {
  std::string folder = fresh_folder();
  std::string record_file = folder + "\\calls.txt";
  std::string exe;
  explicit RecordedInstallation(bool with_progdll) {
    exe = private_installation(folder, with_progdll, Ace32::Recording);
    SetEnvironmentVariableA("ACE32_RECORD_FILE", record_file.c_str());
  }
};

struct QuietCase {
  const char* name;
  const char* arguments;
};

class QuietStart : public ::testing::TestWithParam<QuietCase> {};

TEST_P(QuietStart, EndsAtOnceWithoutWindowOrEngineCall) {
  RecordedInstallation run(true);
  Process program(run.exe, GetParam().arguments, run.folder);
  const QuietExit result = wait_exit_watching_windows(program);
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(0u, result.code);
  EXPECT_FALSE(result.showed_window);
  EXPECT_TRUE(recorded_calls(run.record_file).empty());
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, QuietStart,
    ::testing::Values(QuietCase{"None", ""}, QuietCase{"Blanks", "   "},
                      QuietCase{"TabOnlyWordAfterASwitch", "//X \t ayuda.chm"},
                      QuietCase{"Switch", "//X"}, QuietCase{"BareSwitch", "//"},
                      QuietCase{"OnlySwitches", " //A  //B "}),
    CaseName());

TEST(EngineCalls, NormalRunCallsTheStartUpEntriesInOrderAndTheEndEntryLast) {
  RecordedInstallation run(true);
  Process program(run.exe, "ayuda.chm", run.folder);
  HWND dialog = wait_for_main_dialog(program);
  ASSERT_NE(nullptr, dialog);
  press(dialog, kExit);
  const auto code = program.wait_exit(kWaitMs);
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(0u, *code);
  EXPECT_EQ(expected_calls(), recorded_calls(run.record_file));
}

TEST(ErrorWindow, MissingResourceLibraryShowsErrorWindowAndQuitEndsWithCodeOne) {
  // Wine also finds DLLs in the current folder, so the run starts in one without progdll.dll.
  RecordedInstallation run(false);
  Process program(run.exe, "ayuda.chm", run.folder);
  HWND window = wait_for_window(program, [](HWND w) { return find_child_by_text(w, "&Quit"); });
  ASSERT_NE(nullptr, window) << "no error window";
  EXPECT_NE(nullptr, find_child_by_text(window, "See Error.log file"));
  EXPECT_EQ(nullptr, find_child_by_text(window, "&Default")) << "this error allows no default";
  const std::string shown = window_text(window) + "\n" + all_child_texts(window);
  EXPECT_NE(std::string::npos, shown.find("Cannot create Dialog Box")) << shown;
  EXPECT_EQ(nullptr, GetDlgItem(window, kDriveBox));
  save_screenshot(window, "error-window");

  press(find_child_by_text(window, "&Quit"));
  const auto code = program.wait_exit(kWaitMs);
  ASSERT_TRUE(code.has_value());
  EXPECT_EQ(1u, *code);
  const auto log = read_file(run.folder + "\\Error.log");
  ASSERT_TRUE(log.has_value()) << "no Error.log in the current folder";
  EXPECT_NE(std::string::npos, log->find(today_dd_mm_yy())) << "date as dd-mm-yy";
  EXPECT_EQ(expected_calls(), recorded_calls(run.record_file));
}

}  // namespace
}  // namespace e2e
