// Just enough of a table reader to compute expected index keys from the fixture
// tables: field layout and raw record bytes.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "mem_file.h"

namespace cdxtest {

struct DbfField {
  std::string name;  // upper case
  char type;
  size_t offset, length;
};

struct DbfRows {
  std::vector<DbfField> fields;
  std::vector<std::string> records;  // deleted flag first

  const DbfField& field(const std::string& upper_name) const {
    for (auto& f : fields)
      if (f.name == upper_name) return f;
    throw std::runtime_error("no field " + upper_name);
  }
  std::string raw(size_t rec, const std::string& name) const {
    const DbfField& f = field(name);
    return records[rec].substr(f.offset, f.length);
  }
  int32_t integer(size_t rec, const std::string& name) const {
    std::string b = raw(rec, name);
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(b[static_cast<size_t>(i)]);
    return static_cast<int32_t>(v);
  }
  bool deleted(size_t rec) const { return records[rec][0] == '*'; }
};

inline DbfRows read_dbf(const std::string& path) {
  std::vector<uint8_t> b = read_whole(path);
  DbfRows rows;
  uint32_t count = b[4] | (b[5] << 8) | (b[6] << 16) | (static_cast<uint32_t>(b[7]) << 24);
  size_t header = b[8] | (b[9] << 8), reclen = b[10] | (b[11] << 8);
  size_t offset = 1;
  for (size_t at = 32; at + 32 <= header && b[at] != 0x0D; at += 32) {
    DbfField f;
    f.name.assign(reinterpret_cast<const char*>(&b[at]), strnlen(reinterpret_cast<const char*>(&b[at]), 11));
    for (char& c : f.name) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    f.type = static_cast<char>(b[at + 11]);
    f.length = b[at + 16];
    f.offset = offset;
    offset += f.length;
    rows.fields.push_back(f);
  }
  for (uint32_t r = 0; r < count; ++r)
    rows.records.emplace_back(reinterpret_cast<const char*>(&b[header + r * reclen]), reclen);
  return rows;
}

// Index key of a 4-byte integer: big-endian with the sign bit flipped.
inline std::string integer_key(int32_t v) {
  uint32_t u = static_cast<uint32_t>(v) ^ 0x80000000u;
  std::string k(4, '\0');
  for (int i = 0; i < 4; ++i) k[static_cast<size_t>(i)] = static_cast<char>(u >> (24 - 8 * i));
  return k;
}

// Index key of a number or date: the ordered big-endian form of the double.
inline std::string double_key(double d) {
  uint64_t u;
  std::memcpy(&u, &d, 8);
  u = (u & 0x8000000000000000ull) ? ~u : (u | 0x8000000000000000ull);
  std::string k(8, '\0');
  for (int i = 0; i < 8; ++i) k[static_cast<size_t>(i)] = static_cast<char>(u >> (56 - 8 * i));
  return k;
}

}  // namespace cdxtest
