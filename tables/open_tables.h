// The tables open in the work areas, as far as the end of the program and the
// error report need them.
#pragma once

#include <string>

namespace tbl {

// Closes every table still open.
void close_all_tables();

// One line per open table for the error report.
std::string describe_open_tables();

}  // namespace tbl
