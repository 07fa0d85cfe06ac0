// The whole-table lock held by the order layer while it builds a tag on a shared
// table: no other user appends or changes a record meanwhile.
#pragma once

#include "status.h"

namespace ace::table {
class Table;
}

namespace ace::order {

class FileLock {
 public:
  explicit FileLock(table::Table& table) : table_(table) {}
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Waits a short while for appenders to let go of the header; other users'
  // record locks give ACE_ERR_FILE_LOCK. This table's own record locks are
  // given up (the file lock covers them). Nothing to take on an exclusive table
  // or when this table holds the file lock already.
  Status acquire();

 private:
  table::Table& table_;
  bool held_ = false;
};

}  // namespace ace::order
