// The table engine's drivers: which are registered, which is the default, and
// their shutdown at the end of the program.
#pragma once

#include <string>
#include <vector>

namespace tbl {

struct DriverInfo {
  std::string name;
  int kind;  // 1 for table drivers ("DBF", "ADS"), 2 for text formats ("SDF", "DELIM")
};

// Registers a driver the engine knows by name; false for an unknown name.
// Registering one that is already there changes nothing.
bool RDDREGISTER(const std::string& name, int kind);

// Makes a registered driver the default one; returns the previous default.
std::string RDDSETDEFAULT(const std::string& name);

// The default driver's name ("" while none is set).
std::string DBSETDRIVER();

std::vector<DriverInfo> registered_drivers();

// Shuts every registered driver down, in reverse order of registration, and
// forgets them.
void shutdown_drivers();

// One line per driver for the error report.
std::string describe_drivers();

}  // namespace tbl
