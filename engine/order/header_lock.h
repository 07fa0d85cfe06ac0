// The table's header lock held by the order layer while it builds a tag, so no
// append slips in between reading the records and writing their keys.
#pragma once

#include "status.h"

namespace ace::table {
class Table;
}

namespace ace::order {

class HeaderLock {
 public:
  explicit HeaderLock(table::Table& table) : table_(table) {}
  ~HeaderLock();
  HeaderLock(const HeaderLock&) = delete;
  HeaderLock& operator=(const HeaderLock&) = delete;

  // Waits a short while for appenders to let go; ACE_ERR_APPEND_LOCK after that.
  // Nothing to take on an exclusive table or under this table's file lock.
  Status acquire();

 private:
  table::Table& table_;
  bool held_ = false;
};

}  // namespace ace::order
