#include "process_win32.h"

#include <stdexcept>
#include <vector>

namespace e2e {

Process::Process(const std::string& exe, const std::string& arguments,
                 const std::string& current_dir) {
  std::string line = "\"" + exe + "\"";
  if (!arguments.empty()) line += " " + arguments;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  if (!CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      current_dir.c_str(), &startup, &info_))
    throw std::runtime_error("cannot start " + exe + " (error " +
                             std::to_string(GetLastError()) + ")");
}

Process::~Process() {
  if (running()) {
    TerminateProcess(info_.hProcess, 255);
    WaitForSingleObject(info_.hProcess, 10000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool Process::running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

std::optional<DWORD> Process::wait_exit(DWORD timeout_ms) {
  if (WaitForSingleObject(info_.hProcess, timeout_ms) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

}  // namespace e2e
