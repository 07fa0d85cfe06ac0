// Capturing and restoring a work area's position: its record and its controlling
// order, as a status array {record, order}.
#pragma once

#include "value.h"

namespace tbl {

// {RECNO, INDEXORD} of the area named by the alias (0 and 0 for a free area).
Value ASETSTATUS(const Value& alias);
// Restores the order first and then the record; returns nil.
Value GETSTATUS(const Value& alias, const Value& status);

}  // namespace tbl
