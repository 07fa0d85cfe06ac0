#include "field_text.h"

#include <cstdio>
#include <cstdlib>

namespace dbfcheck {

namespace dbf = ace::dbf;
using dbf::FieldType;

namespace {

std::string trim_right(std::string s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '\0')) s.pop_back();
  return s;
}

std::string trim(std::string s) {
  s = trim_right(std::move(s));
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return s.substr(i);
}

bool blank(const std::string& s) { return s.find_first_not_of(" \0", 0, 2) == std::string::npos; }

// "YYYYMMDD..." -> "YYYY-MM-DD..."; anything else as stored.
std::string iso_date(const std::string& d) {
  if (blank(d)) return "";
  if (d.size() < 8) return trim(d);
  std::string out = d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2);
  if (d.size() >= 14) out += " " + d.substr(8, 2) + ":" + d.substr(10, 2) + ":" + d.substr(12, 2);
  return out;
}

// The shortest decimal text that reads back as the same double.
std::string shortest_double(double v) {
  char buf[40];
  for (int precision = 15; precision <= 17; ++precision) {
    std::snprintf(buf, sizeof buf, "%.*g", precision, v);
    if (std::strtod(buf, nullptr) == v) break;
  }
  return buf;
}

std::string hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string out = "0x";
  for (char c : bytes) {
    out.push_back(digits[static_cast<unsigned char>(c) >> 4]);
    out.push_back(digits[static_cast<unsigned char>(c) & 0xF]);
  }
  return out;
}

}  // namespace

bool is_text_type(const dbf::FieldDesc& f) {
  return f.type == FieldType::Character || f.type == FieldType::Varchar || f.type == FieldType::Memo;
}

bool is_untranslated(const dbf::FieldDesc& f) { return (f.flags & dbf::kFieldBinary) != 0; }

std::string field_text(const Table& table, const std::string& rec, const dbf::FieldDesc& f,
                       std::string* memo_error) {
  const dbf::TableHeader& h = table.header();
  if (dbf::is_null(h, rec, f)) return "";
  switch (f.type) {
    case FieldType::Character:
      return trim_right(std::string(dbf::raw_field(rec, f)));
    case FieldType::Numeric: case FieldType::Float:
      return trim(std::string(dbf::raw_field(rec, f)));
    case FieldType::Date: case FieldType::DateTime:
      return iso_date(dbf::get_text(h, rec, f));
    case FieldType::Logical: {
      const int v = dbf::get_logical(rec, f);
      return v == 1 ? "T" : v == 0 ? "F" : "";
    }
    case FieldType::Double: {
      bool ok = false;
      return shortest_double(dbf::get_number(rec, f, &ok));
    }
    case FieldType::Varbinary:
      return hex(dbf::get_text(h, rec, f));
    case FieldType::Memo: case FieldType::General: case FieldType::Picture: case FieldType::Blob: {
      std::string text;
      const uint32_t block = dbf::memo_block(h, rec, f);
      ace::Status s = table.read_memo(block, &text);
      if (!s.ok()) {
        *memo_error = "memo block " + std::to_string(block) + ": " + s.text;
        return "";
      }
      // Pictures, OLE objects and blobs go out as hex; memos are text even when
      // marked binary, which only spares them code-page translation.
      if (f.type != FieldType::Memo) return text.empty() ? "" : hex(text);
      return text;
    }
    default:
      return dbf::get_text(h, rec, f);
  }
}

}  // namespace dbfcheck
