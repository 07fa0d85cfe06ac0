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
bool close_cursor(uint32_t handle);
void close_all_cursors();

// Remembers `s` as the last error when it is one; answers its number.
uint32_t remember(const Status& s);
const Status& last_error();

}  // namespace ace::api
