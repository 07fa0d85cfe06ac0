#include "api/field_list.h"

#include <cctype>

namespace ace::api {
namespace {

std::string_view trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> split(std::string_view s, char sep) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= s.size(); ++i) {
    if (i == s.size() || s[i] == sep) {
      parts.push_back(trim(s.substr(start, i - start)));
      start = i + 1;
    }
  }
  return parts;
}

bool number(std::string_view s, int max, int* out) {
  if (s.empty() || s.size() > 3) return false;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v > max) return false;
  *out = v;
  return true;
}

}  // namespace

bool parse_field_list(std::string_view text, std::vector<dbf::FieldDesc>* out, std::string* why) {
  out->clear();
  for (std::string_view item : split(text, ';')) {
    if (item.empty()) continue;  // a trailing ';' is harmless
    auto parts = split(item, ',');
    if (parts.size() < 2 || parts.size() > 4) {
      *why = "field needs a name and a type: " + std::string(item);
      return false;
    }
    dbf::FieldDesc f;
    f.name = std::string(parts[0]);
    for (char c : f.name) {
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') {
        *why = "bad field name: " + f.name;
        return false;
      }
    }
    if (parts[1].size() != 1) {
      *why = "type is one letter: " + std::string(item);
      return false;
    }
    char t = static_cast<char>(std::toupper(static_cast<unsigned char>(parts[1][0])));
    int fixed = 0;
    switch (t) {
      case 'C': case 'N': case 'F': break;
      case 'D': case 'T': case 'B': case 'Y': fixed = 8; break;
      case 'L': fixed = 1; break;
      case 'I': case 'M': case 'G': fixed = 4; break;
      default:
        *why = "unknown field type in: " + std::string(item);
        return false;
    }
    f.type = static_cast<dbf::FieldType>(t);
    int len = fixed, dec = 0;
    if (parts.size() >= 3 && !parts[2].empty() && !number(parts[2], 255, &len)) {
      *why = "bad length in: " + std::string(item);
      return false;
    }
    if (parts.size() == 4 && !parts[3].empty() && !number(parts[3], 15, &dec)) {
      *why = "bad decimals in: " + std::string(item);
      return false;
    }
    if (!fixed && len == 0) {
      *why = "field needs a length: " + std::string(item);
      return false;
    }
    if (fixed) len = fixed;  // the type decides; a given length is ignored
    f.length = static_cast<uint16_t>(len);
    f.decimals = static_cast<uint8_t>(dec);
    out->push_back(f);
  }
  if (out->empty()) {
    *why = "empty field list";
    return false;
  }
  return true;
}

}  // namespace ace::api
