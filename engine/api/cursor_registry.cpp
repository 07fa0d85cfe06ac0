#include "api/cursor_registry.h"

#include <map>

namespace ace::api {
namespace {

struct Registry {
  std::map<uint32_t, std::unique_ptr<Cursor>> cursors;
  uint32_t next = 1;
  Cursor* pending = nullptr;
  Status last;
};

Registry& registry() {
  static Registry r;
  return r;
}

}  // namespace

uint32_t register_cursor(std::unique_ptr<Cursor> cursor) {
  Registry& r = registry();
  // Handles are not reused soon, so a stale handle rarely names another table.
  while (r.next == 0 || r.cursors.count(r.next)) ++r.next;
  uint32_t h = r.next++;
  r.cursors[h] = std::move(cursor);
  return h;
}

Cursor* find_cursor(uint32_t handle) {
  auto& c = registry().cursors;
  auto it = c.find(handle);
  return it == c.end() ? nullptr : it->second.get();
}

bool close_cursor(uint32_t handle, Status* written) {
  Registry& r = registry();
  auto it = r.cursors.find(handle);
  if (it == r.cursors.end()) return false;
  Status s = it->second->commit();
  if (written) *written = s;
  if (r.pending == it->second.get()) r.pending = nullptr;
  r.cursors.erase(it);
  return true;
}

void close_all_cursors() {
  Registry& r = registry();
  r.pending = nullptr;
  // A held record that cannot be written is still told, as the last error.
  for (auto& [handle, cursor] : r.cursors) remember(cursor->commit());
  r.cursors.clear();
}

void note_pending(Cursor* cursor) {
  Registry& r = registry();
  if (r.pending && r.pending != cursor) r.pending->commit();
  r.pending = cursor;
}

Status commit_pending(const Cursor* keep) {
  Registry& r = registry();
  if (!r.pending || r.pending == keep) return Status::success();
  Cursor* c = r.pending;
  r.pending = nullptr;
  return c->commit();
}

uint32_t remember(const Status& s) {
  if (!s.ok()) registry().last = s;
  return s.code;
}

const Status& last_error() { return registry().last; }

}  // namespace ace::api
