#include "test_paths_win32.h"

#include <windows.h>

#include "unix_shell_win32.h"

namespace e2e {
namespace {

std::string environment(const char* name) {
  char value[MAX_PATH * 2] = "";
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

}  // namespace

std::string program_dir() {
  // E2E_PROGRAM_DIR runs the scenarios against another build of the program.
  const std::string chosen = environment("E2E_PROGRAM_DIR");
  return chosen.empty() ? host_to_windows_path(E2E_PROGRAM_HOST_DIR) : chosen;
}

std::string recording_ace32_path() {
  return host_to_windows_path(E2E_PROGRAM_HOST_DIR "/recording/ACE32.dll");
}

std::string work_dir_host() { return E2E_WORK_HOST_DIR; }

std::string work_dir() { return host_to_windows_path(work_dir_host()); }

}  // namespace e2e
