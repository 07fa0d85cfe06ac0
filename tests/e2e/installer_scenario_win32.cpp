#include "installer_scenario_win32.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "uidriver/file_tree_win32.h"
#include "uidriver/test_paths_win32.h"
#include "uidriver/windows_win32.h"

namespace e2e {

std::string scenario_name() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(info->test_suite_name()) + "." + info->name();
  for (char& c : name)
    if (c == '/' || c == '\\' || c == ':') c = '_';
  return name;
}

std::string fresh_folder(const std::string& suffix) {
  const std::string folder = work_dir() + "\\runs\\" + scenario_name() + suffix;
  remove_tree(folder);
  make_dirs(folder);
  return folder;
}

std::string private_installation(const std::string& folder, bool with_progdll, Ace32 engine) {
  const std::string bin = program_dir();
  copy_file(bin + "\\ayudainst.exe", folder + "\\ayudainst.exe");
  copy_file(engine == Ace32::Recording ? recording_ace32_path() : bin + "\\ACE32.dll",
            folder + "\\ACE32.dll");
  if (with_progdll) copy_file(bin + "\\progdll.dll", folder + "\\progdll.dll");
  return folder + "\\ayudainst.exe";
}

std::string built_installer() { return program_dir() + "\\ayudainst.exe"; }

HWND wait_for_main_dialog(Process& process) {
  return wait_for_window_titled(process, kDialogTitle);
}

QuietExit wait_exit_watching_windows(Process& process) {
  QuietExit result;
  poll_until([&] {
    for (HWND window : visible_top_windows(process.id())) {
      result.showed_window = true;
      if (is_message_box(window)) result.showed_message_box = true;
    }
    return !process.running();
  });
  if (auto code = process.wait_exit(0)) {
    result.exited = true;
    result.code = *code;
  }
  return result;
}

std::string today_dd_mm_yy() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[16];
  std::snprintf(text, sizeof text, "%02u-%02u-%02u", unsigned(now.wDay), unsigned(now.wMonth),
                unsigned(now.wYear % 100));
  return text;
}

}  // namespace e2e
