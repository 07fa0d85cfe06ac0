#include "file_names.h"

namespace plat {
namespace {

std::string upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::string trim_blanks(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// The name without its folder: after the last backslash when some backslash is
// not the final character; else after the first colon; else the whole name.
std::string without_folder(const std::string& name) {
  const auto last = name.rfind('\\');
  const bool inner_backslash =
      last != std::string::npos && (last + 1 < name.size() || name.find('\\') < last);
  if (inner_backslash) return name.substr(last + 1);
  const auto colon = name.find(':');
  if (colon != std::string::npos) return name.substr(colon + 1);
  return name;
}

}  // namespace

std::string CFILEPATH(const std::string& file_name) {
  const auto last = file_name.rfind('\\');
  if (last != std::string::npos) return upper(file_name.substr(0, last + 1));
  if (file_name.size() >= 2 && file_name[1] == ':') return upper(file_name.substr(0, 2)) + "\\";
  return "\\";
}

std::string CFILENOEXT(const std::string& file_name) {
  std::string base = trim_blanks(upper(without_folder(file_name)));
  return trim_blanks(base.substr(0, base.find('.')));
}

}  // namespace plat
