// Handles of the C interface: each names an open Cursor. Handle 0 is never given.
// Also the last error of the interface, kept for ace_get_last_error.
#pragma once

#include <cstdint>
#include <memory>

#include "api/cursor.h"
#include "status.h"

namespace ace::api {

uint32_t register_cursor(std::unique_ptr<Cursor> cursor);
// Null when the handle names no open table.
Cursor* find_cursor(uint32_t handle);
// Writes the record the handle's cursor holds in memory, then closes it: false
// when the handle names no open table; the write's failure in *written.
bool close_cursor(uint32_t handle, Status* written = nullptr);
void close_all_cursors();

// A cursor whose current record was changed in memory (Cursor::put). At most one
// is pending: every entry but the field entries of that same cursor writes it
// first, so no other handle, order or setting works with what the file lacks.
void note_pending(Cursor* cursor);
// Writes the pending record unless it belongs to `keep`.
Status commit_pending(const Cursor* keep = nullptr);

// Remembers `s` as the last error when it is one; answers its number.
uint32_t remember(const Status& s);
const Status& last_error();

}  // namespace ace::api
