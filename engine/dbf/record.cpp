#include "dbf/record.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "dbf/julian.h"

namespace ace::dbf {
namespace {

int64_t le_int(std::string_view b, size_t n) {
  uint64_t v = 0;
  for (size_t i = 0; i < n; ++i) v |= static_cast<uint64_t>(static_cast<uint8_t>(b[i])) << (8 * i);
  if (n < 8 && (v >> (8 * n - 1)) & 1) v |= ~uint64_t(0) << (8 * n);  // sign-extend
  return static_cast<int64_t>(v);
}

void put_le(std::string* rec, size_t at, uint64_t v, size_t n) {
  for (size_t i = 0; i < n; ++i) (*rec)[at + i] = static_cast<char>(v >> (8 * i));
}

bool blank(std::string_view s) {
  for (char c : s)
    if (c != ' ' && c != '\0') return false;
  return true;
}

std::string trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\0')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\0')) --e;
  return std::string(s.substr(b, e - b));
}

// A whole text as a number; false when anything but a number is there.
bool parse_number(std::string_view text, double* out) {
  std::string t = trim(text);
  if (t.empty() || t.size() > 64) return false;
  char* end = nullptr;
  double v = std::strtod(t.c_str(), &end);
  if (end != t.c_str() + t.size() || !std::isfinite(v)) return false;
  *out = v;
  return true;
}

bool bit_set(const TableHeader& h, std::string_view rec, int bit) {
  const FieldDesc* nf = h.null_flags_field();
  if (!nf || bit < 0 || static_cast<uint32_t>(bit / 8) >= nf->length) return false;
  return (static_cast<uint8_t>(rec[nf->offset + bit / 8]) >> (bit % 8)) & 1;
}

void write_bits(const TableHeader& h, std::string* rec, int bit, bool on) {
  const FieldDesc* nf = h.null_flags_field();
  if (!nf || bit < 0 || static_cast<uint32_t>(bit / 8) >= nf->length) return;
  char& c = (*rec)[nf->offset + bit / 8];
  uint8_t v = static_cast<uint8_t>(c);
  v = on ? static_cast<uint8_t>(v | (1u << (bit % 8))) : static_cast<uint8_t>(v & ~(1u << (bit % 8)));
  c = static_cast<char>(v);
}

void fill(std::string* rec, const FieldDesc& f, std::string_view bytes, char pad) {
  std::string v(bytes.substr(0, f.length));
  v.resize(f.length, pad);
  rec->replace(f.offset, f.length, v);
}

// Exactly rounded, the same on every platform (the C libraries' printf are
// not all exact), and without printf's cost on every numeric field written.
std::string format_fixed(double v, int decimals) {
  char buf[400];
  auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
  if (r.ec != std::errc()) {
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
  }
  return std::string(buf, r.ptr);
}

}  // namespace

std::string blank_record(const TableHeader& h) {
  std::string rec(h.record_length, ' ');
  for (const auto& f : h.fields) {
    switch (f.type) {
      case FieldType::Integer: case FieldType::Double: case FieldType::Currency:
      case FieldType::DateTime: case FieldType::NullFlags: case FieldType::Varbinary:
        rec.replace(f.offset, f.length, std::string(f.length, '\0'));
        break;
      case FieldType::Memo: case FieldType::General: case FieldType::Picture: case FieldType::Blob:
        if (h.binary_memo_pointers()) rec.replace(f.offset, f.length, std::string(f.length, '\0'));
        break;
      default: break;
    }
  }
  // New records of nullable fields start null, as Visual FoxPro writes them.
  for (const auto& f : h.fields)
    if (f.null_bit >= 0) write_bits(h, &rec, f.null_bit, true);
  return rec;
}

bool is_null(const TableHeader& h, std::string_view rec, const FieldDesc& f) {
  return f.null_bit >= 0 && bit_set(h, rec, f.null_bit);
}

bool is_empty(const TableHeader& h, std::string_view rec, const FieldDesc& f) {
  if (is_null(h, rec, f)) return true;
  std::string_view r = raw_field(rec, f);
  bool ok = false;
  switch (f.type) {
    case FieldType::Integer: case FieldType::Double: case FieldType::Currency:
      return get_number(rec, f, &ok) == 0;
    case FieldType::DateTime: return le_int(r, 4) == 0 && le_int(r.substr(4), 4) == 0;
    case FieldType::Logical: return get_logical(rec, f) != 1;
    case FieldType::Memo: case FieldType::General: case FieldType::Picture: case FieldType::Blob:
      return memo_block(h, rec, f) == 0;
    case FieldType::Numeric: case FieldType::Float:
      return blank(r) || get_number(rec, f, &ok) == 0;
    case FieldType::Varchar: case FieldType::Varbinary:
      return blank(get_text(h, rec, f));
    default: return blank(r);
  }
}

std::string get_text(const TableHeader& h, std::string_view rec, const FieldDesc& f) {
  std::string_view r = raw_field(rec, f);
  char buf[64];
  switch (f.type) {
    case FieldType::Integer:
      std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(le_int(r, 4)));
      return buf;
    case FieldType::Double: {
      bool ok;
      return format_fixed(get_number(rec, f, &ok), f.decimals);
    }
    case FieldType::Currency:
      return format_fixed(static_cast<double>(le_int(r, 8)) / 10000.0, 4);
    case FieldType::DateTime: {
      int64_t day = le_int(r, 4);
      int64_t ms = le_int(r.substr(4), 4);
      if (day == 0 && ms == 0) return std::string(14, ' ');
      // Rounded to the second the way the time part is shown; a damaged time
      // of day shows as blank rather than as a wrong hour.
      if (ms < 0 || ms >= 86400000) return dtos_from_julian(static_cast<int32_t>(day)) + "      ";
      int64_t s = (ms + 500) / 1000;
      if (s >= 86400) { ++day; s -= 86400; }
      if (day > kLastDay) day = 0;
      std::snprintf(buf, sizeof buf, "%02d%02d%02d", static_cast<int>(s / 3600),
                    static_cast<int>(s / 60 % 60), static_cast<int>(s % 60));
      return dtos_from_julian(static_cast<int32_t>(day)) + buf;
    }
    case FieldType::Logical: {
      int v = get_logical(rec, f);
      return v == 1 ? "T" : v == 0 ? "F" : " ";
    }
    case FieldType::Varchar: case FieldType::Varbinary:
      if (f.varlength_bit >= 0 && bit_set(h, rec, f.varlength_bit) && f.length > 0) {
        size_t n = static_cast<uint8_t>(r[f.length - 1]);
        return std::string(r.substr(0, n < f.length ? n : f.length - 1u));
      }
      return std::string(r);
    default:
      return std::string(r);
  }
}

double get_number(std::string_view rec, const FieldDesc& f, bool* ok) {
  std::string_view r = raw_field(rec, f);
  *ok = true;
  switch (f.type) {
    case FieldType::Numeric: case FieldType::Float: {
      double v = 0;
      return parse_number(r, &v) ? v : 0.0;  // blank or damaged digits read as 0
    }
    case FieldType::Integer: return static_cast<double>(le_int(r, 4));
    case FieldType::Currency: return static_cast<double>(le_int(r, 8)) / 10000.0;
    case FieldType::Double: {
      if (f.length != 8) break;
      uint64_t bits = static_cast<uint64_t>(le_int(r, 8));
      double v;
      std::memcpy(&v, &bits, 8);
      return v;
    }
    case FieldType::Date: return get_julian(rec, f);
    case FieldType::DateTime:
      return static_cast<double>(le_int(r, 4)) + static_cast<double>(le_int(r.substr(4), 4)) / 86400000.0;
    default: break;
  }
  *ok = false;
  return 0;
}

int32_t get_julian(std::string_view rec, const FieldDesc& f) {
  std::string_view r = raw_field(rec, f);
  if (f.type == FieldType::DateTime) return static_cast<int32_t>(le_int(r, 4));
  if (f.type != FieldType::Date) return 0;
  int32_t j = julian_from_dtos(r.data(), r.size());
  return j < 0 ? 0 : j;
}

int get_logical(std::string_view rec, const FieldDesc& f) {
  switch (raw_field(rec, f)[0]) {
    case 'T': case 't': case 'Y': case 'y': return 1;
    case 'F': case 'f': case 'N': case 'n': return 0;
    default: return -1;
  }
}

uint32_t memo_block(const TableHeader& h, std::string_view rec, const FieldDesc& f) {
  std::string_view r = raw_field(rec, f);
  if (f.length == 4 || h.binary_memo_pointers())
    return static_cast<uint32_t>(le_int(r, 4) & 0xFFFFFFFF);
  uint64_t v = 0;
  for (char c : r) {
    if (c >= '0' && c <= '9') v = v * 10 + static_cast<uint64_t>(c - '0');
    else if (c != ' ' && c != '\0') return 0;  // not a block number
    if (v > 0xFFFFFFFFu) return 0;
  }
  return static_cast<uint32_t>(v);
}

uint32_t put_number(const TableHeader& h, std::string* rec, const FieldDesc& f, double v) {
  if (!std::isfinite(v)) return ACE_ERR_DATATYPE;
  switch (f.type) {
    case FieldType::Numeric: case FieldType::Float: {
      std::string s = format_fixed(v, f.decimals);
      if (s == "-0" || s.rfind("-0.", 0) == 0) {
        bool zero = s.find_first_not_of("-0.") == std::string::npos;
        if (zero) s.erase(0, 1);
      }
      if (s.size() > f.length) return ACE_ERR_DATAWIDTH;
      fill(rec, f, std::string(f.length - s.size(), ' ') + s, ' ');
      break;
    }
    case FieldType::Integer: {
      double r = std::nearbyint(v);
      if (r < -2147483648.0 || r > 2147483647.0) return ACE_ERR_DATAWIDTH;
      put_le(rec, f.offset, static_cast<uint32_t>(static_cast<int32_t>(r)), 4);
      break;
    }
    case FieldType::Currency: {
      double r = std::nearbyint(v * 10000.0);
      if (std::fabs(r) >= 9.2e18) return ACE_ERR_DATAWIDTH;
      put_le(rec, f.offset, static_cast<uint64_t>(static_cast<int64_t>(r)), 8);
      break;
    }
    case FieldType::Double: {
      if (f.length != 8) return ACE_ERR_DATATYPE;
      uint64_t bits;
      std::memcpy(&bits, &v, 8);
      put_le(rec, f.offset, bits, 8);
      break;
    }
    default: return ACE_ERR_DATATYPE;
  }
  set_null(h, rec, f, false);
  return ACE_OK;
}

uint32_t put_julian(const TableHeader& h, std::string* rec, const FieldDesc& f, int32_t julian) {
  if (julian < 0) return ACE_ERR_DATATYPE;
  if (f.type == FieldType::Date) {
    if (julian != 0 && dtos_from_julian(julian) == std::string(8, ' ')) return ACE_ERR_DATAWIDTH;
    fill(rec, f, dtos_from_julian(julian), ' ');
  } else if (f.type == FieldType::DateTime) {
    put_le(rec, f.offset, static_cast<uint32_t>(julian), 4);
    put_le(rec, f.offset + 4, 0, 4);
  } else {
    return ACE_ERR_DATATYPE;
  }
  set_null(h, rec, f, false);
  return ACE_OK;
}

uint32_t put_logical(const TableHeader& h, std::string* rec, const FieldDesc& f, bool v) {
  if (f.type != FieldType::Logical) return ACE_ERR_DATATYPE;
  (*rec)[f.offset] = v ? 'T' : 'F';
  set_null(h, rec, f, false);
  return ACE_OK;
}

uint32_t put_text(const TableHeader& h, std::string* rec, const FieldDesc& f, std::string_view text) {
  switch (f.type) {
    case FieldType::Character:
      fill(rec, f, text, ' ');
      break;
    case FieldType::Varchar: case FieldType::Varbinary: {
      size_t room = f.length - (f.varlength_bit >= 0 ? 1u : 0u);
      std::string_view t = text.substr(0, room);
      fill(rec, f, t, f.type == FieldType::Varchar ? ' ' : '\0');
      if (f.varlength_bit >= 0) {
        (*rec)[f.offset + f.length - 1] = static_cast<char>(t.size());
        write_bits(h, rec, f.varlength_bit, true);
      }
      break;
    }
    case FieldType::Numeric: case FieldType::Float: case FieldType::Integer:
    case FieldType::Double: case FieldType::Currency: {
      if (blank(text) && (f.type == FieldType::Numeric || f.type == FieldType::Float)) {
        fill(rec, f, "", ' ');
        break;
      }
      double v;
      if (!parse_number(text, &v)) return ACE_ERR_DATATYPE;
      return put_number(h, rec, f, v);
    }
    case FieldType::Date: {
      int32_t j = julian_from_dtos(text.data(), text.size());
      if (j < 0) return ACE_ERR_DATATYPE;
      return put_julian(h, rec, f, j);
    }
    case FieldType::DateTime: {
      std::string t = trim(text);
      if (t.empty()) {
        put_le(rec, f.offset, 0, 8);
        break;
      }
      if (t.size() != 8 && t.size() != 14) return ACE_ERR_DATATYPE;
      int32_t j = julian_from_dtos(t.data(), 8);
      if (j <= 0) return ACE_ERR_DATATYPE;
      int64_t ms = 0;
      if (t.size() == 14) {
        for (size_t i = 8; i < 14; ++i)
          if (t[i] < '0' || t[i] > '9') return ACE_ERR_DATATYPE;
        int hh = (t[8] - '0') * 10 + (t[9] - '0'), mm = (t[10] - '0') * 10 + (t[11] - '0'),
            ss = (t[12] - '0') * 10 + (t[13] - '0');
        if (hh > 23 || mm > 59 || ss > 59) return ACE_ERR_DATATYPE;
        ms = (hh * 3600 + mm * 60 + ss) * 1000LL;
      }
      put_le(rec, f.offset, static_cast<uint32_t>(j), 4);
      put_le(rec, f.offset + 4, static_cast<uint64_t>(ms), 4);
      break;
    }
    case FieldType::Logical: {
      std::string t = trim(text);
      if (t.empty() || t == "?") { (*rec)[f.offset] = ' '; break; }
      if (t.size() != 1) return ACE_ERR_DATATYPE;
      switch (t[0]) {
        case 'T': case 't': case 'Y': case 'y': return put_logical(h, rec, f, true);
        case 'F': case 'f': case 'N': case 'n': return put_logical(h, rec, f, false);
        default: return ACE_ERR_DATATYPE;
      }
    }
    default:
      return ACE_ERR_DATATYPE;  // memo text goes through the table, which owns the memo file
  }
  set_null(h, rec, f, false);
  return ACE_OK;
}

void put_memo_block(const TableHeader& h, std::string* rec, const FieldDesc& f, uint32_t block) {
  if (f.length == 4 || h.binary_memo_pointers()) {
    put_le(rec, f.offset, block, 4);
  } else if (block == 0) {
    fill(rec, f, "", ' ');
  } else {
    std::string digits = std::to_string(block);
    fill(rec, f, std::string(f.length > digits.size() ? f.length - digits.size() : 0, ' ') + digits, ' ');
  }
  set_null(h, rec, f, false);
}

void set_null(const TableHeader& h, std::string* rec, const FieldDesc& f, bool null) {
  if (f.null_bit >= 0) write_bits(h, rec, f.null_bit, null);
}

}  // namespace ace::dbf
