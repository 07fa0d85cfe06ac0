#include "record_context.h"

namespace ace::expr {

Schema::~Schema() = default;

FieldType RecordContext::field_type(int idx) const {
  switch (field_value(idx).type) {
    case Value::Type::Numeric: return FieldType::Numeric;
    case Value::Type::Date: return FieldType::Date;
    case Value::Type::Logical: return FieldType::Logical;
    case Value::Type::Memo: return FieldType::Memo;
    default: return FieldType::Character;
  }
}

int RecordContext::field_width(int idx) const {
  Value v = field_value(idx);
  switch (v.type) {
    case Value::Type::Character: return static_cast<int>(v.str.size());
    case Value::Type::Numeric: return v.width > 0 ? v.width : 10;
    case Value::Type::Date: return 8;
    case Value::Type::Logical: return 1;
    default: return 0;
  }
}

int RecordContext::field_decimals(int idx) const { return field_value(idx).decimals; }

FieldListSchema::FieldListSchema(std::vector<FieldDef> fields, std::string alias)
    : fields_(std::move(fields)), alias_(std::move(alias)) {}

int FieldListSchema::field_index(std::string_view upper_name) const {
  for (size_t i = 0; i < fields_.size(); ++i)
    if (fields_[i].name == upper_name) return static_cast<int>(i);
  return -1;
}

FieldType FieldListSchema::field_type(int idx) const { return fields_.at(idx).type; }
int FieldListSchema::field_width(int idx) const { return fields_.at(idx).width; }
int FieldListSchema::field_decimals(int idx) const { return fields_.at(idx).decimals; }

}  // namespace ace::expr
