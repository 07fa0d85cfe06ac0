// File-name patterns as the system's folder search reads them: '*' any run of
// characters, '?' any one, letters compared without regard to case, and "*.*"
// matching every name, with or without a dot.
#pragma once

#include <string>

namespace plat {

bool has_wildcards(const std::string& pattern);
bool wildcard_match(const std::string& pattern, const std::string& name);

}  // namespace plat
