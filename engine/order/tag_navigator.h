// Moves a cursor in the key order of one tag: the controlling order of a table.
#pragma once

#include <cstdint>
#include <string>

#include "api/cursor.h"
#include "cdx/tag.h"
#include "order/table_orders.h"

namespace ace::order {

class TagNavigator : public api::OrderNavigator {
 public:
  TagNavigator(table::Table& table, TableOrders& orders, size_t order_number);

  Status first(uint32_t* recno) override;
  Status last(uint32_t* recno) override;
  Status next(uint32_t from, uint32_t* recno) override;
  Status previous(uint32_t from, uint32_t* recno) override;
  // Positions on the first entry whose key starts with `key` (*found) or else
  // follows it; 0 at the end. Deleted records are passed over when hidden.
  Status seek(std::string_view key, uint32_t* recno, bool* found);
  // The order's number as of the last move (other users adding tags to a bag
  // can change numbers; the navigator follows its tag by bag and name).
  size_t order_number() const { return number_; }

 private:
  Status tag(Order** out);
  // Finds `from` in the tag again: by the cursor kept from the last move, or by
  // the record's key. When the record is not in the tag (its FOR is false), the
  // position is the entry after where it would be.
  Status locate(uint32_t from, bool* exact);
  Status answer(const cdx::Status& s, uint32_t* recno, bool forward = true);

  table::Table& table_;
  TableOrders& orders_;
  size_t number_;
  const cdx::Bag* bag_;
  std::string name_;
  cdx::Cursor at_;
};

}  // namespace ace::order
