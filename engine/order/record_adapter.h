// A table record as the expression language sees it: columns from the table's
// field descriptors, values decoded from the record's bytes, memos read on demand.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "dbf/header.h"
#include "expr/record_context.h"

namespace ace::table {
class Table;
}

namespace ace::order {

class TableSchema : public expr::Schema {
 public:
  TableSchema(const dbf::TableHeader& header, std::string alias)
      : header_(header), alias_(std::move(alias)) {}
  int field_index(std::string_view upper_name) const override;
  expr::FieldType field_type(int idx) const override;
  int field_width(int idx) const override;
  int field_decimals(int idx) const override;
  std::string_view alias() const override { return alias_; }

 protected:
  const dbf::TableHeader& header_;
  std::string alias_;
};

class RecordAdapter : public expr::RecordContext {
 public:
  RecordAdapter(const table::Table& table, std::string alias, uint32_t recno, std::string_view bytes);
  int field_index(std::string_view upper_name) const override { return schema_.field_index(upper_name); }
  expr::FieldType field_type(int idx) const override { return schema_.field_type(idx); }
  int field_width(int idx) const override { return schema_.field_width(idx); }
  int field_decimals(int idx) const override { return schema_.field_decimals(idx); }
  std::string_view alias() const override { return schema_.alias(); }
  expr::Value field_value(int idx) const override;
  // Points the adapter at another record, for loops over many.
  void reset(uint32_t recno, std::string_view bytes) {
    recno_ = recno;
    bytes_ = bytes;
  }
  uint32_t recno() const override { return recno_; }
  bool deleted() const override;

 private:
  const table::Table& table_;
  TableSchema schema_;
  uint32_t recno_;
  std::string_view bytes_;
};

}  // namespace ace::order
