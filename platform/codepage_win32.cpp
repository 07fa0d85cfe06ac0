// The running system's OEM <-> ANSI mapping. OemToCharA and CharToOemA stop at the
// first zero byte, so only the text before it is handed over; the rest is copied.
#include "codepage.h"

#include <windows.h>

#include <vector>

namespace plat {
namespace {

using Converter = BOOL(WINAPI*)(LPCSTR, LPSTR);

std::string convert(const std::string& text, Converter convert_fn) {
  const std::string::size_type end = text.find('\0');
  const std::string head = text.substr(0, end);
  std::vector<char> mapped(head.size() + 1, '\0');
  convert_fn(head.c_str(), mapped.data());
  std::string out = text;
  out.replace(0, head.size(), mapped.data(), head.size());
  return out;
}

}  // namespace

std::string OEMTOANSI(const std::string& text) { return convert(text, &OemToCharA); }
std::string ANSITOOEM(const std::string& text) { return convert(text, &CharToOemA); }

}  // namespace plat
