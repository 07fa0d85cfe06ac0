// The text of "Error.log". Its layout is ours; what it must hold is the error
// message, the date (in the current date format) and time, the time since start,
// the call stack, and facts about the program, the machine, the drivers, the open
// tables and the memory.
#pragma once

#include <string>
#include <vector>

#include "error.h"

namespace plat {

struct ReportFacts {
  std::string date;  // already in the current date format
  std::string time;  // hh:mm:ss
  long seconds_since_start = 0;
  std::string call_stack;
  std::string module_path;
  std::vector<std::string> arguments;
  std::string machine;
  std::string drivers;
  std::string open_tables;
  std::string variables;
  std::string memory;
};

std::string build_error_report(const Error& e, const ReportFacts& facts);

}  // namespace plat
