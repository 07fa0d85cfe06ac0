#include "text_encoding.h"

#include <cstdint>

#include "platform/codepage.h"

namespace dbfcheck {
namespace {

// Code points of bytes 0x80-0x9F; the rest of the upper half is Latin-1.
const uint16_t k1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void append_utf8(uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::string utf8_from_1252(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const auto b = static_cast<unsigned char>(ch);
    append_utf8(b >= 0x80 && b < 0xA0 ? k1252High[b - 0x80] : b, &out);
  }
  return out;
}

std::string utf8_from_table_text(const std::string& text, bool oem) {
  return utf8_from_1252(oem ? plat::OEMTOANSI(text) : text);
}

}  // namespace dbfcheck
