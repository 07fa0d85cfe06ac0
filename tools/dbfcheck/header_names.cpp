#include "header_names.h"

#include <cstdio>

namespace dbfcheck {

const char* version_name(uint8_t version) {
  switch (version) {
    case 0x02: return "FoxBASE";
    case 0x03: return "dBASE III / FoxPro, no memo";
    case 0x30: return "Visual FoxPro";
    case 0x31: return "Visual FoxPro, autoincrement";
    case 0x32: return "Visual FoxPro, varchar/varbinary";
    case 0x43: return "dBASE IV SQL table, no memo";
    case 0x83: return "dBASE III with DBT memo";
    case 0x8B: return "dBASE IV with DBT memo";
    case 0xCB: return "dBASE IV SQL table with memo";
    case 0xF5: return "FoxPro 2.x with FPT memo";
    case 0xFB: return "FoxBASE with memo";
    default: return "unknown";
  }
}

const char* codepage_name(uint8_t mark) {
  switch (mark) {
    case 0x00: return "none";
    case 0x01: return "437 US MS-DOS";
    case 0x02: return "850 international MS-DOS";
    case 0x03: return "1252 Windows ANSI";
    case 0x04: return "10000 standard Macintosh";
    case 0x64: return "852 Eastern European MS-DOS";
    case 0x65: return "866 Russian MS-DOS";
    case 0x66: return "865 Nordic MS-DOS";
    case 0x67: return "861 Icelandic MS-DOS";
    case 0x6A: return "737 Greek MS-DOS";
    case 0x6B: return "857 Turkish MS-DOS";
    case 0x78: return "950 Chinese (Hong Kong, Taiwan)";
    case 0x79: return "949 Korean";
    case 0x7A: return "936 Chinese (PRC, Singapore)";
    case 0x7B: return "932 Japanese";
    case 0x7C: return "874 Thai";
    case 0xC8: return "1250 Windows Eastern European";
    case 0xC9: return "1251 Windows Russian";
    case 0xCA: return "1254 Windows Turkish";
    case 0xCB: return "1253 Windows Greek";
    default: return "unknown";
  }
}

std::string table_flags_text(uint8_t flags, bool dbase4) {
  if (flags == 0) return "none";
  std::string out;
  auto add = [&out](const char* s) { out += out.empty() ? s : std::string(", ") + s; };
  if (dbase4) {
    if (flags & 0x01) add("production index");
    flags &= static_cast<uint8_t>(~0x01);
  } else {
    if (flags & 0x01) add("structural index");
    if (flags & 0x02) add("memo");
    if (flags & 0x04) add("database container");
    flags &= static_cast<uint8_t>(~0x07);
  }
  if (flags) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%02X", flags);
    add((std::string("other bits ") + buf).c_str());
  }
  return out;
}

}  // namespace dbfcheck
