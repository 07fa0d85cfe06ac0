// Verification of a table's structural bag against its records.
#pragma once

#include <cstdint>

#include "engine_access.h"
#include "problem_list.h"

namespace dbfcheck {

// Checks the bag the table's header announces (or that lies beside it): its
// pages, and for every tag that each key equals its expression on its record,
// that keys come in order, that every record the FOR condition admits is there
// once and that no entry names a record the table lacks.
void check_structural_bag(const Table& table, uint32_t record_count, ProblemList* problems);

}  // namespace dbfcheck
