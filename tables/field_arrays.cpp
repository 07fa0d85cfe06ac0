#include "field_arrays.h"

#include "platform/codepage.h"
#include "table_operations.h"

namespace tbl {

Value ACAMPOSLEE() {
  const int count = FCOUNT();
  Value fields = Value::array();
  fields.items().reserve(static_cast<size_t>(count));
  for (int n = 1; n <= count; ++n) {
    Value v = FIELDGET(n);
    const std::string type = VALTYPE(v);
    if (type == "C" || type == "M") v = Value::character(plat::OEMTOANSI(v.text()));
    fields.items().push_back(std::move(v));
  }
  return fields;
}

bool ACAMPOSGRABA(const Value& values) {
  int n = 0;
  for (const Value& element : values.items()) {
    ++n;
    // Only "C" is converted: a memo value put in the array is written as it is.
    if (VALTYPE(element) == "C")
      FIELDPUT(n, Value::character(plat::ANSITOOEM(element.text())));
    else
      FIELDPUT(n, element);
  }
  return true;
}

}  // namespace tbl
