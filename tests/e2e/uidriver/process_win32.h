// A program under test, started with a command line in a current folder of our choice.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace e2e {

class Process {
 public:
  // Starts `exe` with `arguments` appended to its quoted path, exactly as given
  // (the program cuts its own command line). Throws std::runtime_error on failure.
  Process(const std::string& exe, const std::string& arguments, const std::string& current_dir);
  ~Process();  // ends the process if it is still running, so a failed test leaves nothing behind
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  DWORD id() const { return info_.dwProcessId; }
  bool running() const;
  // The exit code once the process has ended within the time limit.
  std::optional<DWORD> wait_exit(DWORD timeout_ms);

 private:
  PROCESS_INFORMATION info_{};
};

}  // namespace e2e
