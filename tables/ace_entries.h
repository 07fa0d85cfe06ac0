// The client engine's start-up entries as the "ADS" driver calls them. The table
// points at the engine's exports; a test swaps in recorders to see the calls.
#pragma once

#include <cstdint>

namespace tbl {

struct AceEntries {
  uint32_t (*exit_engine)();                        // entry 3
  uint32_t (*set_date_format)(const char* format);  // entry 135
  uint32_t (*set_epoch)(uint16_t epoch);            // entry 140
  uint32_t (*show_deleted)(uint16_t show);          // entry 156
  uint32_t (*set_server_type)(uint16_t type);       // entry 201
};

AceEntries& ace_entries();

}  // namespace tbl
