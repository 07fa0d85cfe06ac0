// Building an index order from a key expression in the work area named by an
// alias (the current area's alias when omitted). The tag is CFILENOEXT of the
// name; the key block is compiled from "{ ||" + key + "}".
#pragma once

#include <optional>
#include <string>

#include "value.h"

namespace tbl {

// The order goes into the table's structural bag; unique is false when omitted;
// reset first returns the area to record-number order. Returns nil.
Value CREATECDX(const Value& alias, const Value& key, const std::string& name,
                std::optional<bool> unique = std::nullopt, std::optional<bool> reset = std::nullopt);

// Under the "DBFNTX" driver: an index file named by `file` (no tag), unique only
// when asked for (else the program-wide setting), reset closing the area's orders.
// Otherwise: as CREATECDX, in the bag named by `file` when own_bag is true.
// Returns nil.
Value CREAINDICE(const Value& alias, const Value& key, const std::string& file,
                 std::optional<bool> unique = std::nullopt, std::optional<bool> reset = std::nullopt,
                 std::optional<bool> own_bag = std::nullopt, const Value& ignored = Value());

}  // namespace tbl
