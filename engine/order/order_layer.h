// Binds the order layer to the table: every table opened afterwards opens its
// structural bag with it and keeps it up to date.
#pragma once

#include "order/table_orders.h"

namespace ace::table {
class Table;
}

namespace ace::order {

// Cheap and repeatable; the C entries that open tables call it first.
void register_order_layer();
// The orders of a table: the ones it opened with, or a new empty set it keeps
// from now on (for tables that had no structural bag).
TableOrders& orders_of(table::Table& table);

}  // namespace ace::order
