// Natively SETRESOURCES loads nothing; it keeps the names asked for so tests can
// see whether and when the program asked for its resource library.
#pragma once

#include <string>
#include <vector>

namespace plat {

std::vector<std::string>& requested_resource_libraries();

}  // namespace plat
