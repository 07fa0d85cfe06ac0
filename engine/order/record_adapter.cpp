#include "order/record_adapter.h"

#include <cctype>

#include "dbf/record.h"
#include "table/table.h"

namespace ace::order {

int TableSchema::field_index(std::string_view upper_name) const {
  for (size_t i = 0; i < header_.fields.size(); ++i) {
    const std::string& n = header_.fields[i].name;
    if (n.size() != upper_name.size() || header_.fields[i].is_system()) continue;
    bool same = true;
    for (size_t k = 0; k < n.size() && same; ++k)
      same = std::toupper(static_cast<unsigned char>(n[k])) == static_cast<unsigned char>(upper_name[k]);
    if (same) return static_cast<int>(i);
  }
  return -1;
}

expr::FieldType TableSchema::field_type(int idx) const {
  return static_cast<expr::FieldType>(static_cast<char>(header_.fields.at(static_cast<size_t>(idx)).type));
}
int TableSchema::field_width(int idx) const { return header_.fields.at(static_cast<size_t>(idx)).length; }
int TableSchema::field_decimals(int idx) const { return header_.fields.at(static_cast<size_t>(idx)).decimals; }

RecordAdapter::RecordAdapter(const table::Table& table, std::string alias, uint32_t recno,
                             std::string_view bytes)
    : table_(table), schema_(table.header(), std::move(alias)), recno_(recno), bytes_(bytes) {}

bool RecordAdapter::deleted() const { return dbf::is_deleted(bytes_); }

expr::Value RecordAdapter::field_value(int idx) const {
  const dbf::TableHeader& h = table_.header();
  const dbf::FieldDesc& f = h.fields.at(static_cast<size_t>(idx));
  bool ok = true;
  switch (f.type) {
    case dbf::FieldType::Character:
    case dbf::FieldType::Varchar:
    case dbf::FieldType::Varbinary:
      return expr::Value::character(dbf::get_text(h, bytes_, f));
    case dbf::FieldType::Date:
      return expr::Value::date(dbf::get_julian(bytes_, f));
    case dbf::FieldType::Logical:
      return expr::Value::logical(dbf::get_logical(bytes_, f) == 1);
    case dbf::FieldType::Memo:
    case dbf::FieldType::General:
    case dbf::FieldType::Picture:
    case dbf::FieldType::Blob: {
      std::string text;
      uint32_t block = dbf::memo_block(h, bytes_, f);
      if (block != 0 && !table_.read_memo(block, &text).ok()) text.clear();
      return expr::Value::memo(text);
    }
    default: {
      double d = dbf::get_number(bytes_, f, &ok);
      return expr::Value::numeric(ok ? d : 0.0, f.length, f.decimals);
    }
  }
}

}  // namespace ace::order
