// Product installations on a scenario drive: X:\Halvoren\<name> with the executable
// and the version table, valid unless told otherwise.
#pragma once

#include <cstdint>
#include <string>

#include "uidriver/scenario_drive_win32.h"

namespace e2e {

constexpr std::uint64_t kExecutableSize = 6750208;

// A small table whose record holds the release marker; the zero bytes of its header
// must not stop the search.
std::string version_table(const std::string& release);

struct InstallationParts {
  std::uint64_t executable_size = kExecutableSize;
  std::string table = version_table("2010/1");
  bool executable_is_folder = false;
  bool table_is_folder = false;
  bool without_table = false;
};

// Creates the installation and returns its folder (Windows path).
std::string make_installation(const ScenarioDrive& drive, const std::string& name,
                              const InstallationParts& parts = {});

}  // namespace e2e
