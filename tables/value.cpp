#include "value.h"

namespace tbl {

bool operator==(const Value& a, const Value& b) {
  if (a.type_ != b.type_) return false;
  switch (a.type_) {
    case Value::Type::Nil: return true;
    case Value::Type::Character:
    case Value::Type::Memo: return a.text_ == b.text_;
    case Value::Type::Numeric: return a.number_ == b.number_;
    case Value::Type::Date: return a.julian_ == b.julian_;
    case Value::Type::Logical: return a.logical_ == b.logical_;
    case Value::Type::Array: return a.items_ == b.items_;
  }
  return false;
}

std::string VALTYPE(const Value& v) {
  switch (v.type()) {
    case Value::Type::Nil: return "U";
    case Value::Type::Character: return "C";
    case Value::Type::Memo: return "M";
    case Value::Type::Numeric: return "N";
    case Value::Type::Date: return "D";
    case Value::Type::Logical: return "L";
    case Value::Type::Array: return "A";
  }
  return "U";
}

}  // namespace tbl
