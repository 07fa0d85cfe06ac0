#include "platform/item_match.h"

#include <cstddef>

namespace plat {

namespace {

std::string trimmed(const std::string& s) {
  std::size_t first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  std::size_t last = s.find_last_not_of(' ');
  return s.substr(first, last - first + 1);
}

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool equal_ignoring_case(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (upper(a[i]) != upper(b[i])) return false;
  }
  return true;
}

}  // namespace

int find_matching_item(const std::vector<std::string>& items, const std::string& value) {
  const std::string wanted = trimmed(value);
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (equal_ignoring_case(trimmed(items[i]), wanted)) return static_cast<int>(i);
  }
  return -1;
}

}  // namespace plat
