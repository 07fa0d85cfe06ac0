// Copying the current record's fields into an array and back. Table text is in
// the OEM code page and program text in the ANSI code page: reading converts
// character and memo fields to ANSI, writing converts character values to OEM.
#pragma once

#include "value.h"

namespace tbl {

// One element per field, in field order; character and memo values become ANSI
// character values. An empty array when the current area holds no table.
Value ACAMPOSLEE();
// FIELDPUT of each element, character values converted to OEM first. Elements
// beyond the field count are not stored. Returns true.
bool ACAMPOSGRABA(const Value& values);

}  // namespace tbl
