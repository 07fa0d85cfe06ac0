// host_command.exe COMMAND...: runs COMMAND with the host's /bin/sh and exits with its
// status (255 when it cannot be run or does not finish within a minute).
//
// Wine starts Unix programs but gives no handle to wait on, and starting one disturbs
// the standard streams of the process that asks. So the tests ask through this small
// program: it starts the shell, waits for the status file the shell leaves, and exits.
#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "poll_win32.h"

namespace {

// The command line past our own name, as given.
std::string arguments() {
  const char* line = GetCommandLineA();
  if (*line == '"') {
    ++line;
    while (*line && *line != '"') ++line;
    if (*line) ++line;
  } else {
    while (*line && *line != ' ' && *line != '\t') ++line;
  }
  while (*line == ' ' || *line == '\t') ++line;
  return line;
}

}  // namespace

int main() {
  const std::string command = arguments();
  char temp[MAX_PATH];
  GetEnvironmentVariableA("E2E_STATUS_FILE", temp, sizeof temp);
  const std::string status = temp;  // host path, chosen by the caller
  std::string status_win = "Z:" + status;
  for (char& c : status_win)
    if (c == '/') c = '\\';
  DeleteFileA(status_win.c_str());
  // Written under another name and renamed, so it never shows up half written.
  std::string line = "sh -c \"(" + command + ") </dev/null >/dev/null 2>&1; echo $? > " + status +
                     ".tmp; mv " + status + ".tmp " + status + "\"";
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA("Z:\\bin\\sh", buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info))
    return 255;
  if (!e2e::poll_until(
          [&] { return GetFileAttributesA(status_win.c_str()) != INVALID_FILE_ATTRIBUTES; }))
    return 255;
  int code = 255;
  {
    std::ifstream in(status_win);
    in >> code;
  }
  DeleteFileA(status_win.c_str());
  return code;
}
