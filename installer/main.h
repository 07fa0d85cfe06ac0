// MAIN, the entry routine: the argument check, the preparations, and the main dialog.
#pragma once

#include <optional>
#include <string>

namespace inst {

// help_path: the first argument of the command line, unset when there is none.
void MAIN(std::optional<std::string> help_path);

// The values of the routines running now (MAIN's while it runs, and the module
// state), one "NAME: value" a line, for the error report.
std::string describe_variables();

}  // namespace inst
