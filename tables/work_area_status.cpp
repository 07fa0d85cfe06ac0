#include "work_area_status.h"

#include "platform/error.h"
#include "table_operations.h"
#include "workareas.h"

namespace tbl {

Value ASETSTATUS(const Value& alias) {
  AreaScope scope(alias);
  if (!scope.ok()) return Value::array({Value::numeric(0), Value::numeric(0)});
  const uint32_t record = RECNO();
  const int order = INDEXORD();
  return Value::array({Value::numeric(record), Value::numeric(order)});
}

Value GETSTATUS(const Value& alias, const Value& status) {
  const auto& items = status.items();
  if (status.type() != Value::Type::Array || items.size() < 2 ||
      items[0].type() != Value::Type::Numeric || items[1].type() != Value::Type::Numeric) {
    plat::Error e;
    e.gen_code = plat::EG_ARG;
    e.subsystem = "BASE";
    e.description = "Argument error";
    e.operation = "GETSTATUS";
    plat::raise_error(e);
    return Value();
  }
  AreaScope scope(alias);
  if (!scope.ok()) return Value();
  // Order first: the record number stays the same whatever order controls.
  DBSETORDER(static_cast<int>(items[1].number()));
  DBGOTO(static_cast<uint32_t>(items[0].number()));
  return Value();
}

}  // namespace tbl
