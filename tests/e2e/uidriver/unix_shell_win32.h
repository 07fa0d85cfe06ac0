// Runs a shell command of the Linux host from inside Wine, through host_command.exe.
// The tests need it for what only the host can do: a drive letter is a symbolic link
// in the Wine prefix, and screenshots are taken from the X display.
#pragma once

#include <optional>
#include <string>

#include "poll_win32.h"

namespace e2e {

// Host paths appear in Wine under the drive Z:.
std::string host_to_windows_path(const std::string& host_path);

// Quotes a host path for the shell. Paths with a single quote are refused.
std::string shell_quote(const std::string& text);

// The command's exit status; nothing when it could not be started or did not finish in
// time. The command may not contain double quotes or backslashes.
std::optional<int> run_host_command(const std::string& command, DWORD timeout_ms = kWaitMs);

}  // namespace e2e
