#include "text_ops.h"

#include <cstring>

namespace ace::expr {

int compare_text(std::string_view l, std::string_view r) {
  size_t n = l.size() < r.size() ? l.size() : r.size();
  if (n) {
    int c = std::memcmp(l.data(), r.data(), n);
    if (c) return c < 0 ? -1 : 1;
  }
  for (size_t i = l.size(); i < r.size(); ++i)
    if (r[i] != ' ') return static_cast<unsigned char>(r[i]) > ' ' ? -1 : 1;
  return 0;
}

void append_concat_move_blanks(std::string_view l, std::string_view r, std::string& out) {
  size_t kept = l.find_last_not_of(' ');
  kept = kept == std::string_view::npos ? 0 : kept + 1;
  out.append(l.data(), kept);
  out.append(r.data(), r.size());
  out.append(l.size() - kept, ' ');
}

bool is_blank_text(std::string_view s) {
  for (char c : s)
    if (c != ' ' && c != '\t' && c != '\r' && c != '\n') return false;
  return true;
}

}  // namespace ace::expr
