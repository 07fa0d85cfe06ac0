// Facts about the machine and the process for the error report.
#pragma once

#include <string>

namespace plat {

// Operating system, computer name, processors: one "Name: value" line each (CR LF).
std::string machine_facts();

// Memory of the machine and of the process, in the same form.
std::string memory_facts();

// Local date and time now.
struct LocalTime {
  int year, month, day, hour, minute, second;
};
LocalTime local_time_now();

}  // namespace plat
