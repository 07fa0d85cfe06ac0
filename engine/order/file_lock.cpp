#include "order/file_lock.h"

#include <thread>

#include "table/table.h"

namespace ace::order {

namespace {
// Appenders hold the header, inside the file lock's range, for a few writes.
constexpr int kAttempts = 20000;
}  // namespace

FileLock::~FileLock() {
  if (held_) table_.unlock_file();
}

Status FileLock::acquire() {
  if (held_ || !table_.shared() || table_.holds_file_lock()) return Status::success();
  Status s;
  for (int i = 0; i < kAttempts; ++i) {
    s = table_.lock_file();
    if (s.code != ACE_ERR_FILE_LOCK) break;
    std::this_thread::yield();
  }
  if (!s.ok()) return s;
  held_ = true;
  return Status::success();
}

}  // namespace ace::order
