// What an expression sees of a table: its columns when it is compiled (Schema) and
// one record when it is evaluated (RecordContext).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "value.h"

namespace ace::expr {

class Schema {
 public:
  virtual ~Schema();
  // The column named by an upper-case name, or -1.
  virtual int field_index(std::string_view upper_name) const = 0;
  virtual FieldType field_type(int idx) const = 0;
  virtual int field_width(int idx) const = 0;
  virtual int field_decimals(int idx) const = 0;
  // The work area's alias; an "ALIAS->FIELD" qualifier must name it.
  virtual std::string_view alias() const = 0;
};

// One record. Character fields come as Character, memos as Memo, N/F/I/B/Y as
// Numeric, D as Date (blank = julian 0), L as Logical. A datetime field comes as
// Numeric: the Julian day plus the fraction of the day, which orders like the
// stored key.
class RecordContext : public Schema {
 public:
  // Derived from the current record's value when a context has no declared
  // schema; table-backed contexts override these with the descriptors.
  FieldType field_type(int idx) const override;
  int field_width(int idx) const override;
  int field_decimals(int idx) const override;

  virtual Value field_value(int idx) const = 0;
  // Evaluation calls this one: a context can assign into `out` and so reuse its
  // string buffer, which keeps key evaluation free of allocations.
  virtual void load_field(int idx, Value& out) const { out = field_value(idx); }
  virtual uint32_t recno() const = 0;
  virtual bool deleted() const = 0;
};

// A schema given as a list of columns: for compiling a key before any record
// exists, and for tests.
struct FieldDef {
  std::string name;  // upper case
  FieldType type = FieldType::Character;
  int width = 0;
  int decimals = 0;
};

class FieldListSchema : public Schema {
 public:
  FieldListSchema(std::vector<FieldDef> fields, std::string alias);
  int field_index(std::string_view upper_name) const override;
  FieldType field_type(int idx) const override;
  int field_width(int idx) const override;
  int field_decimals(int idx) const override;
  std::string_view alias() const override { return alias_; }
  const std::vector<FieldDef>& fields() const { return fields_; }

 private:
  std::vector<FieldDef> fields_;
  std::string alias_;
};

}  // namespace ace::expr
