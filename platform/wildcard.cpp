#include "wildcard.h"

namespace plat {

namespace {

unsigned char fold(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= 'A' && u <= 'Z') ? static_cast<unsigned char>(u + ('a' - 'A')) : u;
}

bool match(const char* p, const char* n) {
  // Iterative glob with one backtracking point: linear enough for file names.
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*n) {
    if (*p == '*') {
      star = p++;
      resume = n;
    } else if (*p == '?' || (*p && fold(*p) == fold(*n))) {
      ++p;
      ++n;
    } else if (star) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  // A trailing ".*" also matches a name without an extension.
  while (*p == '*' || (p[0] == '.' && p[1] == '*')) p += (*p == '*') ? 1 : 2;
  return *p == '\0';
}

}  // namespace

bool has_wildcards(const std::string& pattern) {
  return pattern.find_first_of("*?") != std::string::npos;
}

bool wildcard_match(const std::string& pattern, const std::string& name) {
  return match(pattern.c_str(), name.c_str());
}

}  // namespace plat
