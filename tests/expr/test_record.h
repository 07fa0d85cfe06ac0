// A record held in memory, for compiling and evaluating expressions in tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "expr/expr.h"

namespace ace::expr::testing {

class TestRecord : public RecordContext {
 public:
  TestRecord(std::vector<FieldDef> fields, std::vector<Value> values, std::string alias = "PEOPLE")
      : schema_(std::move(fields), std::move(alias)), values_(std::move(values)) {}

  int field_index(std::string_view n) const override { return schema_.field_index(n); }
  FieldType field_type(int i) const override { return schema_.field_type(i); }
  int field_width(int i) const override { return schema_.field_width(i); }
  int field_decimals(int i) const override { return schema_.field_decimals(i); }
  std::string_view alias() const override { return schema_.alias(); }
  Value field_value(int i) const override { return values_.at(static_cast<size_t>(i)); }
  uint32_t recno() const override { return recno_; }
  bool deleted() const override { return deleted_; }

  Value& value(int i) { return values_.at(static_cast<size_t>(i)); }
  uint32_t recno_ = 7;
  bool deleted_ = false;

 private:
  FieldListSchema schema_;
  std::vector<Value> values_;
};

// NAME C 10, AGE N 3, SALARY N 8.2, BORN D, ACTIVE L, NOTES M, ID I, and the
// long-named column CONTACT_TY (I).
inline TestRecord people() {
  return TestRecord(
      {{"NAME", FieldType::Character, 10, 0},
       {"AGE", FieldType::Numeric, 3, 0},
       {"SALARY", FieldType::Numeric, 8, 2},
       {"BORN", FieldType::Date, 8, 0},
       {"ACTIVE", FieldType::Logical, 1, 0},
       {"NOTES", FieldType::Memo, 4, 0},
       {"ID", FieldType::Integer, 4, 0},
       {"CONTACT_TY", FieldType::Integer, 4, 0}},
      {Value::character("Smith     "), Value::numeric(42, 3, 0), Value::numeric(1234.5, 8, 2),
       Value::date(julian_from_ymd(1997, 1, 13)), Value::logical(true), Value::memo("memo text"),
       Value::numeric(-5, 4, 0), Value::numeric(3, 4, 0)});
}

}  // namespace ace::expr::testing
