// The main dialog as the user meets it: its texts, the drive box, the ways it refuses
// to close, help requests and the exit button.
#include <gtest/gtest.h>

#include <functional>

#include "installation_tree_win32.h"
#include "installer_scenario_win32.h"
#include "uidriver/file_tree_win32.h"
#include "uidriver/scenario_drive_win32.h"
#include "uidriver/screenshot_win32.h"
#include "uidriver/windows_win32.h"

namespace e2e {
namespace {

std::vector<std::string> drive_letters() {
  std::vector<std::string> letters;
  for (char c = 'C'; c <= 'Z'; ++c)
    if (c != 'W') letters.push_back(std::string(1, c));
  return letters;
}

bool controls_enabled(HWND dialog) {
  for (int id : {kDriveBox, kInstall, kExit})
    if (!IsWindowEnabled(GetDlgItem(dialog, id))) return false;
  return true;
}

struct OpenDialog {
  std::string folder = fresh_folder();
  Process program{built_installer(), "ayuda.chm", folder};
  HWND dialog = wait_for_main_dialog(program);
};

void expect_exit_button_ends_quietly(OpenDialog& run) {
  press(run.dialog, kExit);
  const QuietExit result = wait_exit_watching_windows(run.program);
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(0u, result.code);
  EXPECT_FALSE(result.showed_message_box);
}

TEST(MainDialog, ShowsPromptAndTheDriveBoxWithCSelected) {
  OpenDialog run;
  ASSERT_NE(nullptr, run.dialog) << "no window titled as the installer's dialog";
  EXPECT_EQ(kPrompt, window_text(GetDlgItem(run.dialog, kPromptText)));
  HWND drive_box = GetDlgItem(run.dialog, kDriveBox);
  EXPECT_EQ(drive_letters(), combo_items(drive_box));
  EXPECT_EQ(0, combo_selection(drive_box));
  EXPECT_NE(nullptr, GetDlgItem(run.dialog, kPicture));
  EXPECT_TRUE(controls_enabled(run.dialog));
  save_screenshot(run.dialog, "main-dialog");
  expect_exit_button_ends_quietly(run);
}

struct CloseRequest {
  const char* name;
  std::function<void(HWND)> send;
};

class CloseRequests : public ::testing::TestWithParam<CloseRequest> {};

TEST_P(CloseRequests, LeaveTheDialogOpenUntilTheExitButton) {
  OpenDialog run;
  ASSERT_NE(nullptr, run.dialog);
  GetParam().send(run.dialog);
  ASSERT_TRUE(drain_input(run.dialog)) << "the dialog went away";
  EXPECT_TRUE(IsWindowVisible(run.dialog));
  EXPECT_TRUE(controls_enabled(run.dialog));
  EXPECT_EQ(0, combo_selection(GetDlgItem(run.dialog, kDriveBox)));
  for (HWND window : visible_top_windows(run.program.id()))
    EXPECT_EQ(run.dialog, window) << "unexpected window: " << window_text(window);
  expect_exit_button_ends_quietly(run);
}

void send_now(HWND window, UINT message, WPARAM wparam) {
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, message, wparam, 0, SMTO_ABORTIFHUNG, 10000, &ignored);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, CloseRequests,
    ::testing::Values(
        CloseRequest{"EscKey", [](HWND d) { ASSERT_TRUE(type_key(d, VK_ESCAPE)); }},
        CloseRequest{"CancelCommand", [](HWND d) { send_now(d, WM_COMMAND, IDCANCEL); }},
        CloseRequest{"CloseMessage", [](HWND d) { send_now(d, WM_CLOSE, 0); }},
        CloseRequest{"CloseBox", [](HWND d) { send_now(d, WM_SYSCOMMAND, SC_CLOSE); }},
        // From a button: a drop-down list box under Wine keeps Alt+F4 to itself.
        CloseRequest{"AltF4",
                     [](HWND d) {
                       ASSERT_TRUE(tab_to_class(d, "Button"));
                       ASSERT_TRUE(type_key(d, VK_F4, true));
                     }}),
    CaseName());

TEST(MainDialog, F1ShowsTheStopMessageAndChangesNothing) {
  OpenDialog run;
  ASSERT_NE(nullptr, run.dialog);
  HWND drive_box = GetDlgItem(run.dialog, kDriveBox);
  choose_combo_item(run.dialog, kDriveBox, 3);
  ASSERT_TRUE(type_key(run.dialog, VK_F1));
  const MessageBoxView box = wait_for_message_box(run.program);
  ASSERT_NE(nullptr, box.window) << "no help message";
  EXPECT_EQ(" Attention", box.title);
  EXPECT_EQ("No Help file available", box.text);
  save_screenshot(box.window, "help-box");
  ASSERT_TRUE(close_message_box(box));
  ASSERT_TRUE(drain_input(run.dialog));
  EXPECT_TRUE(IsWindowVisible(run.dialog));
  EXPECT_TRUE(controls_enabled(run.dialog));
  EXPECT_EQ(3, combo_selection(drive_box));
  expect_exit_button_ends_quietly(run);
}

TEST(MainDialog, ExitButtonCopiesNothing) {
  ScenarioDrive drive(scenario_name());
  make_installation(drive, "Oficina");
  write_file(drive.path("ayuda.chm"), "help");
  const std::string folder = fresh_folder();
  Process program(built_installer(), drive.path("ayuda.chm"), folder);
  HWND dialog = wait_for_main_dialog(program);
  ASSERT_NE(nullptr, dialog);
  choose_combo_item(dialog, kDriveBox, drive.drive_box_index());
  press(dialog, kExit);
  const QuietExit result = wait_exit_watching_windows(program);
  ASSERT_TRUE(result.exited);
  EXPECT_EQ(0u, result.code);
  EXPECT_FALSE(result.showed_message_box);
  EXPECT_FALSE(path_exists(drive.path("Halvoren\\Oficina\\brevantpro.chm")));
}

}  // namespace
}  // namespace e2e
