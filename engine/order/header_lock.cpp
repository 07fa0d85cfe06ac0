#include "order/header_lock.h"

#include <thread>

#include "table/lock_offsets.h"
#include "table/table.h"

namespace ace::order {

namespace {
// Appenders hold the header lock for a few writes only.
constexpr int kAttempts = 200000;
}  // namespace

HeaderLock::~HeaderLock() {
  if (held_) table_.file().unlock(table::kHeaderLockOffset, 1);
}

Status HeaderLock::acquire() {
  if (held_ || table_.holds_header_lock()) return Status::success();
  io::IoStatus io;
  for (int i = 0; i < kAttempts; ++i) {
    io = table_.file().lock(table::kHeaderLockOffset, 1);
    if (io.code != io::IoStatus::LockConflict) break;
    std::this_thread::yield();
  }
  if (!io.ok()) return from_io(io, ACE_ERR_APPEND_LOCK, table_.path(), "table header is locked by another user");
  held_ = true;
  return Status::success();
}

}  // namespace ace::order
