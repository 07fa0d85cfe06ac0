#include "api/cursor_registry.h"

#include <map>

namespace ace::api {
namespace {

struct Registry {
  std::map<uint32_t, std::unique_ptr<Cursor>> cursors;
  uint32_t next = 1;
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

bool close_cursor(uint32_t handle) { return registry().cursors.erase(handle) != 0; }

void close_all_cursors() { registry().cursors.clear(); }

uint32_t remember(const Status& s) {
  if (!s.ok()) registry().last = s;
  return s.code;
}

const Status& last_error() { return registry().last; }

}  // namespace ace::api
