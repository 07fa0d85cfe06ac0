// ERRORSYS, the application's error handler: every error that no routine handles
// ends up here. A few are answered quietly; every other one is written to
// "Error.log" in the current folder and shown in the error window, whose Quit ends
// the program with exit code 1.
#pragma once

#include <functional>
#include <string>

#include "error.h"

namespace plat {

// What the handler needs from the layers above it. Every hook may be left empty.
struct ErrorSystemHooks {
  std::function<void()> set_network_error;         // the quiet open and append-lock failures
  std::function<std::string()> describe_drivers;   // report section "Drivers"
  std::function<std::string()> describe_open_tables;
  std::function<std::string()> describe_variables;  // report section "Variables"
  std::function<void()> end_of_program;            // close tables, shut drivers down
  std::function<void()> release_libraries;         // the resource libraries loaded
  std::function<void(int)> exit_process;           // default: std::exit
};

// Installs ERRORSYS as the error handler with these hooks.
void install_error_system(ErrorSystemHooks hooks);

ErrorAnswer ERRORSYS(const Error& e);

// The file the report is written to, relative to the current folder.
inline const char* error_log_name() { return "Error.log"; }

}  // namespace plat
