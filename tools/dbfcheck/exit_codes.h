// The tool's exit codes, as scripts see them.
#pragma once

namespace dbfcheck {

constexpr int kExitOk = 0;
constexpr int kExitProblems = 1;  // verify found damage; dump met unreadable memos
constexpr int kExitError = 2;     // wrong usage, or a file that cannot be opened or read

}  // namespace dbfcheck
