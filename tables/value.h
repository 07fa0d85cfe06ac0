// The dynamic value of the table routines: nil, character, memo, numeric (with the
// width and decimals a field gives it), date (as a julian day number, 0 for the
// blank date), logical, or array. VALTYPE gives its type letter.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tbl {

class Value {
 public:
  enum class Type { Nil, Character, Memo, Numeric, Date, Logical, Array };

  Value() = default;  // nil
  static Value character(std::string text) { return Value(Type::Character, std::move(text)); }
  static Value memo(std::string text) { return Value(Type::Memo, std::move(text)); }
  static Value numeric(double n, int width = 10, int decimals = 0) {
    Value v(Type::Numeric);
    v.number_ = n;
    v.width_ = width;
    v.decimals_ = decimals;
    return v;
  }
  static Value date(int32_t julian) {
    Value v(Type::Date);
    v.julian_ = julian;
    return v;
  }
  static Value logical(bool b) {
    Value v(Type::Logical);
    v.logical_ = b;
    return v;
  }
  static Value array(std::vector<Value> items = {}) {
    Value v(Type::Array);
    v.items_ = std::move(items);
    return v;
  }

  Type type() const { return type_; }
  bool is_nil() const { return type_ == Type::Nil; }
  bool is_text() const { return type_ == Type::Character || type_ == Type::Memo; }

  const std::string& text() const { return text_; }
  double number() const { return number_; }
  int width() const { return width_; }
  int decimals() const { return decimals_; }
  int32_t julian() const { return julian_; }
  bool logical() const { return logical_; }
  const std::vector<Value>& items() const { return items_; }
  std::vector<Value>& items() { return items_; }

  // Same type and same contents; numbers compare by value, not by width.
  friend bool operator==(const Value& a, const Value& b);
  friend bool operator!=(const Value& a, const Value& b) { return !(a == b); }

 private:
  explicit Value(Type t) : type_(t) {}
  Value(Type t, std::string text) : type_(t), text_(std::move(text)) {}

  Type type_ = Type::Nil;
  std::string text_;
  double number_ = 0;
  int width_ = 0;
  int decimals_ = 0;
  int32_t julian_ = 0;
  bool logical_ = false;
  std::vector<Value> items_;
};

// "U" nil, "C" character, "M" memo, "N" numeric, "D" date, "L" logical, "A" array.
std::string VALTYPE(const Value& v);

}  // namespace tbl
