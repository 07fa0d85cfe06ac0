// The value every expression produces and every field yields.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ace::expr {

struct Value {
  enum class Type { Nil, Character, Numeric, Date, Logical, Memo };

  Type type = Type::Nil;
  std::string str;       // Character and Memo
  double num = 0.0;      // Numeric
  int32_t julian = 0;    // Date: Julian day number, 0 = blank date
  bool log = false;      // Logical
  int width = 0;         // Numeric from a field or STR: display width; Character: unused
  int decimals = 0;

  static Value nil() { return Value{}; }
  static Value character(std::string_view s) {
    Value v;
    v.type = Type::Character;
    v.str.assign(s.data(), s.size());
    return v;
  }
  static Value memo(std::string_view s) {
    Value v = character(s);
    v.type = Type::Memo;
    return v;
  }
  static Value numeric(double n, int width = 0, int decimals = 0) {
    Value v;
    v.type = Type::Numeric;
    v.num = n;
    v.width = width;
    v.decimals = decimals;
    return v;
  }
  static Value date(int32_t julian_day) {
    Value v;
    v.type = Type::Date;
    v.julian = julian_day;
    return v;
  }
  static Value logical(bool b) {
    Value v;
    v.type = Type::Logical;
    v.log = b;
    return v;
  }

  bool is_text() const { return type == Type::Character || type == Type::Memo; }
};

// The one-letter type name of a value: "C", "M", "N", "D", "L", "U" for nil.
char type_letter(Value::Type t);

// Column types as a table declares them (the descriptor's type letter).
enum class FieldType : char {
  Character = 'C',
  Numeric = 'N',
  Float = 'F',
  Date = 'D',
  Logical = 'L',
  Memo = 'M',
  General = 'G',
  Picture = 'P',
  Integer = 'I',
  Double = 'B',
  Currency = 'Y',
  DateTime = 'T',
  Varchar = 'V',
  Varbinary = 'Q',
  Blob = 'W',
  NullFlags = '0',  // the hidden field of nullable columns' flags
};

}  // namespace ace::expr
