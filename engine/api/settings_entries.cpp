// Start-up entries: the settings the program's driver hands over.
#include "ace32.h"
#include "api/cursor_registry.h"
#include "engine_settings.h"

#include <cstdlib>
#include <cstdarg>
#include <cstdio>

namespace {

// A build of the engine made for tests (ACE32_RECORD_CALLS) appends one line per
// start-up entry call to the file named by ACE32_RECORD_FILE, so a test can prove
// which entries the program called, in which order and with which values.
void record(const char* entry, const char* fmt, ...) {
#ifdef ACE32_RECORD_CALLS
  const char* path = std::getenv("ACE32_RECORD_FILE");
  if (!path || !*path) return;
  if (FILE* f = std::fopen(path, "ab")) {
    std::fprintf(f, "%s ", entry);
    va_list ap;
    va_start(ap, fmt);
    std::vfprintf(f, fmt, ap);
    va_end(ap);
    std::fputc('\n', f);
    std::fclose(f);
  }
#else
  (void)entry;
  (void)fmt;
#endif
}

}  // namespace

extern "C" {

ACE_RESULT ACE_ENTRY ace_exit(void) {
  record("3", "");
  // Cursors write the records they hold as they close.
  ace::engine_shutdown();
  return 0;
}

ACE_RESULT ACE_ENTRY ace_set_date_format(const char* format) {
  record("135", "%s", format ? format : "(null)");
  if (!format) return 5001;  // argument error; see ace32_errors.h once it exists
  if (uint32_t e = ace::api::remember(ace::api::commit_pending())) return e;
  ace::settings().date_format = format;
  return 0;
}

ACE_RESULT ACE_ENTRY ace_set_epoch(uint16_t epoch) {
  record("140", "%u", unsigned(epoch));
  if (uint32_t e = ace::api::remember(ace::api::commit_pending())) return e;
  ace::settings().epoch = epoch;
  return 0;
}

ACE_RESULT ACE_ENTRY ace_show_deleted(uint16_t show) {
  record("156", "%u", unsigned(show));
  if (uint32_t e = ace::api::remember(ace::api::commit_pending())) return e;
  ace::settings().show_deleted = show != 0;
  return 0;
}

ACE_RESULT ACE_ENTRY ace_set_server_type(uint16_t type) {
  record("201", "%u", unsigned(type));
  ace::settings().server_type = type;
  return 0;
}

}  // extern "C"
