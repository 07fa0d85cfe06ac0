// The program's run around MAIN: what is in place before it, and the end.
#pragma once

#include <string>
#include <vector>

namespace inst {

// Settings and module state to their start values, the start time, the
// application's error handler, and the drivers "DELIM", "SDF" and "DBF".
void start_program(const std::string& module_path, const std::vector<std::string>& arguments);

// Closes the tables still open and shuts the drivers down.
void end_program();

// The whole run for a command line as the system gives it: returns the exit code.
int run_program(const std::string& command_line, const std::string& module_path);

}  // namespace inst
