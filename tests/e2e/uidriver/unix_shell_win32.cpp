#include "unix_shell_win32.h"

#include <windows.h>

#include <stdexcept>
#include <vector>

#include "test_paths_win32.h"

namespace e2e {

std::string host_to_windows_path(const std::string& host_path) {
  std::string path = "Z:" + host_path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

std::string shell_quote(const std::string& text) {
  if (text.find('\'') != std::string::npos || text.find('"') != std::string::npos ||
      text.find('\\') != std::string::npos)
    throw std::invalid_argument("cannot quote for the host shell: " + text);
  return "'" + text + "'";
}

std::optional<int> run_host_command(const std::string& command, DWORD timeout_ms) {
  if (command.find('"') != std::string::npos || command.find('\\') != std::string::npos)
    throw std::invalid_argument("host command must not contain double quotes or backslashes");
  static int counter = 0;
  const std::string status = work_dir_host() + "/status-" + std::to_string(GetCurrentProcessId()) +
                             "-" + std::to_string(++counter);
  SetEnvironmentVariableA("E2E_STATUS_FILE", status.c_str());
  const std::string helper = host_to_windows_path(E2E_HOST_COMMAND_EXE);
  std::string line = "\"" + helper + "\" " + command;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(helper.c_str(), buffer.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &info))
    return std::nullopt;
  CloseHandle(info.hThread);
  std::optional<int> result;
  if (WaitForSingleObject(info.hProcess, timeout_ms) == WAIT_OBJECT_0) {
    DWORD code = 255;
    GetExitCodeProcess(info.hProcess, &code);
    if (code != 255) result = static_cast<int>(code);
  } else {
    TerminateProcess(info.hProcess, 255);
  }
  CloseHandle(info.hProcess);
  return result;
}

}  // namespace e2e
