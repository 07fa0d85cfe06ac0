// Hooks through which the order layer keeps a table's indexes up to date, and the
// factory with which it opens a table's structural bag.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "dbf/header.h"
#include "status.h"

namespace ace::table {

class Table;

// One record as the hooks see it: its bytes, the table's fields, its number and a
// way to its memos. Valid only during the call it is handed to.
class RecordView {
 public:
  RecordView(const Table& table, uint32_t recno, std::string_view bytes)
      : table_(table), recno_(recno), bytes_(bytes) {}

  const Table& table() const { return table_; }
  const dbf::TableHeader& header() const;
  uint32_t recno() const { return recno_; }
  std::string_view bytes() const { return bytes_; }
  bool deleted() const;
  // Field by upper-case name; -1 when the table has none of that name.
  int field_index(std::string_view upper_name) const;
  const dbf::FieldDesc& field(int index) const;
  // Memo text of a memo field of this record.
  Status memo(int index, std::string* out) const;

 private:
  const Table& table_;
  uint32_t recno_;
  std::string_view bytes_;
};

// Called by the table around every write. check_writable comes first, before
// anything is written, so a table whose tags cannot be maintained refuses the
// write and stays as it was. on_append comes once the new record's bytes are in
// the file but before the record count counts it; on_update once the new bytes
// are in the file. A failure of on_append leaves the record uncounted.
// Around an append: before_append, the record written, on_append, the count
// written, after_append.
class IndexMaintainer {
 public:
  virtual ~IndexMaintainer() = default;
  virtual Status check_writable() = 0;
  virtual Status on_append(uint32_t recno, const RecordView& rec) = 0;
  virtual Status on_update(uint32_t recno, const RecordView& before, const RecordView& after) = 0;
  // Before new record `recno` is written, under the header lock: an appender
  // killed after writing its record (and perhaps some keys) left its bytes where
  // the new record goes, so keys of that uncounted record can be taken out again.
  virtual Status before_append(uint32_t recno) {
    (void)recno;
    return Status::success();
  }
  // Once an append that got past before_append is over, still under the header
  // lock: `counted` says whether the record count now covers the new record.
  virtual void after_append(bool counted) { (void)counted; }
};

// Opens a table's structural bag (same base name, ".cdx") when its header says it
// has one. Registered by the order layer; without one, tables open without indexes.
// Called for every table of the FoxPro family, marked or not (a bag another user
// starts later must be kept by this one too); it may leave *out empty.
// `path` is the bag's path. A failure fails the table's open.
using StructuralBagFactory =
    std::function<Status(Table& table, const std::string& path, std::unique_ptr<IndexMaintainer>* out)>;

void register_structural_bag_factory(StructuralBagFactory factory);
const StructuralBagFactory& structural_bag_factory();

}  // namespace ace::table
