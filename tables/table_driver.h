// What a work area asks of a table driver. The "ADS" driver implements it over the
// client engine's C interface; tests implement it in memory.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "key_block.h"
#include "platform/error.h"
#include "value.h"

namespace tbl {

// Outcome of a driver operation: success, or the error object the work area raises.
struct Status {
  std::optional<plat::Error> error;
  bool ok() const { return !error.has_value(); }
  static Status success() { return {}; }
  static Status failure(plat::Error e) { return Status{std::move(e)}; }
};

struct OpenRequest {
  std::string file;  // as the caller gave it
  std::string alias;
  bool shared = true;
  bool read_only = false;
};

// The condition ORDCONDSET sets for the next order built. Only the start record
// is ever given; it narrows nothing (every record is indexed).
struct OrderCondition {
  uint32_t start_record = 0;
};

struct OrderRequest {
  std::optional<std::string> bag;  // none: the table's structural bag
  std::optional<std::string> tag;  // none: the bag's own name decides
  std::string key;                 // key expression text
  KeyBlock block;
  std::optional<bool> unique_given;  // the flag as the caller passed it
  bool unique = false;               // that flag, or the program-wide setting
  OrderCondition condition;
};

class Table {
 public:
  virtual ~Table() = default;

  virtual uint32_t record_number() const = 0;  // the record count + 1 at the end
  virtual Status go_to(uint32_t record) = 0;
  virtual Status go_top() = 0;     // first record in the controlling order
  virtual Status go_bottom() = 0;
  virtual Status skip(long count) = 0;
  virtual bool eof() const = 0;
  virtual bool bof() const = 0;

  virtual int field_count() const = 0;
  virtual Value field_get(int field) = 0;  // 1 to field_count()
  virtual Status field_put(int field, const Value& value) = 0;

  // A blank record at the end becomes current. A refused append lock is an
  // error with generic code 40 that allows a default.
  virtual Status append() = 0;
  // Releases this table's record locks, then locks the current record.
  virtual bool lock_record() = 0;

  virtual int order_number() const = 0;  // controlling order, 0 for record order
  virtual Status set_order(int order) = 0;
  // Closes the open orders, builds the new one and makes it controlling.
  virtual Status create_order(const OrderRequest& request) = 0;
  virtual Status clear_orders() = 0;
};

class TableDriver {
 public:
  virtual ~TableDriver() = default;
  // Index-file extension, as ".cdx".
  virtual std::string index_extension() const = 0;
  // An open refused because another user holds the file is an error with generic
  // code 21, OS code 32 or 5, that allows a default.
  virtual Status open(const OpenRequest& request, std::unique_ptr<Table>* out) = 0;
};

}  // namespace tbl
