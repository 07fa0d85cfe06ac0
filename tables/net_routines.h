// Opening, record locking and appending with retries, for tables other users
// share. Each acts on the current work area and answers true on success.
#pragma once

#include <optional>
#include <string>

#include "value.h"

namespace tbl {

// Opens a table, shared unless exclusive. attempts counts opens, each failed one
// followed by a 1 second wait (0: without limit). When every attempt failed and
// tell is true, the user is told in an alert box.
bool LNETUSE(const std::string& file, std::optional<bool> exclusive = std::nullopt,
             std::optional<double> attempts = std::nullopt,
             const std::optional<std::string>& alias = std::nullopt,
             std::optional<bool> tell = std::nullopt, const Value& ignored = Value(),
             std::optional<bool> new_area = std::nullopt);

// Locks the current record: one attempt, then retries for the given seconds, each
// failed one followed by window-message processing and a 0.5 second wait
// (0: without limit). The user is told when the record stays locked.
bool LNETRECLOCK(std::optional<double> seconds = std::nullopt);

// Appends a record and asks for a lock on it: one attempt, then retries for the
// given seconds with 0.5 second waits (0: without limit). Judged by the network-
// error indicator alone; never tells the user.
bool LNETRECADD(std::optional<double> seconds = std::nullopt);

}  // namespace tbl
