#include "ace_entries.h"

#include "ace32.h"

namespace tbl {

namespace {
// Plain functions around the engine's entries, whose calling convention differs.
uint32_t call_exit() { return ace_exit(); }
uint32_t call_date_format(const char* f) { return ace_set_date_format(f); }
uint32_t call_epoch(uint16_t e) { return ace_set_epoch(e); }
uint32_t call_show_deleted(uint16_t s) { return ace_show_deleted(s); }
uint32_t call_server_type(uint16_t t) { return ace_set_server_type(t); }
}  // namespace

AceEntries& ace_entries() {
  static AceEntries e{call_exit, call_date_format, call_epoch, call_show_deleted, call_server_type};
  return e;
}

}  // namespace tbl
