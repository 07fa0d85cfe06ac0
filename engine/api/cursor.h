// A table as the C interface hands it out: the table, a current record with its
// bytes, end- and beginning-of-file states, and navigation that passes over
// deleted records when the engine's filter is on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "status.h"
#include "table/table.h"

namespace ace::api {

// The order layer's hook: when a controlling order is set it moves the cursor in
// key order instead of record order. Each answer is a record number, 0 when there
// is none that way. The cursor applies the deleted-record filter on top.
class OrderNavigator {
 public:
  virtual ~OrderNavigator() = default;
  virtual Status first(uint32_t* recno) = 0;
  virtual Status last(uint32_t* recno) = 0;
  virtual Status next(uint32_t from, uint32_t* recno) = 0;
  virtual Status previous(uint32_t from, uint32_t* recno) = 0;
};

// Field writes change the current record in memory; the record goes to the file,
// with its index updates, once: when the cursor moves, appends, reloads, or when
// commit() is called (the entries call it before unlocking, flushing, closing and
// before any entry on another handle). Reads through the cursor see the buffer.
class Cursor {
 public:
  explicit Cursor(std::unique_ptr<table::Table> table);
  // A buffered record is written; failures here have nobody left to hear them.
  ~Cursor();

  table::Table& table() { return *table_; }
  const table::Table& table() const { return *table_; }
  // Null to go back to record order.
  void set_navigator(std::unique_ptr<OrderNavigator> nav) { navigator_ = std::move(nav); }
  OrderNavigator* navigator() const { return navigator_.get(); }

  Status go_to(uint32_t recno);
  Status go_top();
  Status go_bottom();
  Status skip(int32_t n);
  // Reads the current record again (after a lock, or to see other users' changes).
  Status reload();

  uint32_t recno() const { return recno_; }
  bool eof() const { return eof_; }
  bool bof() const { return bof_; }
  // The current record's bytes (a blank record at the end of file).
  const std::string& record() const { return record_; }

  // Replaces the current record at once: refused at end of file; the table checks
  // locks.
  Status write(const std::string& bytes);
  // Replaces the current record in memory only, after the checks a write would
  // make first (record, lock, tags that can be kept), so a refusal comes now.
  Status put(const std::string& bytes);
  // Writes a record changed by put(). When the write fails the buffer is given
  // up and the record read again, so the cursor shows what the file holds.
  Status commit();
  bool dirty() const { return dirty_; }
  // Appends a blank record and makes it current, locked; other record locks of
  // this cursor are released first, as a new record is what the caller works on.
  Status append();

 private:
  Status step(uint32_t from, bool forward, uint32_t* out);
  Status first_visible(bool from_top, uint32_t* out);
  Status settle(uint32_t recno);
  Status to_phantom();
  Status visible(uint32_t recno, bool* yes);

  std::unique_ptr<table::Table> table_;
  std::unique_ptr<OrderNavigator> navigator_;
  uint32_t recno_ = 0;
  bool eof_ = true, bof_ = true;
  std::string record_;
  bool dirty_ = false;
};

}  // namespace ace::api
