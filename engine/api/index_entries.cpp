// The C interface entries for index orders: handles to cursors, orders of the
// cursor's table, status codes out.
#include <cstring>
#include <string>

#include "ace32_index.h"
#include "api/cursor_registry.h"
#include "expr/key_encoding.h"
#include "order/order_layer.h"
#include "order/tag_navigator.h"
#include "table/table.h"

using ace::Status;
using ace::api::Cursor;
using ace::api::remember;
using ace::order::TableOrders;
using ace::order::TagNavigator;

namespace {

// Every table opened through the engine opens its structural bag with it.
const bool registered = [] {
  ace::order::register_order_layer();
  return true;
}();

template <typename Fn>
uint32_t with_orders(ACE_HANDLE h, Fn fn) {
  (void)registered;
  Cursor* c = ace::api::find_cursor(h);
  if (!c) return remember(Status::error(ACE_ERR_HANDLE, "", "handle names no open table"));
  return fn(*c, ace::order::orders_of(c->table()));
}

uint16_t controlling(const Cursor& c) {
  auto* nav = dynamic_cast<TagNavigator*>(c.navigator());
  return nav ? static_cast<uint16_t>(nav->order_number()) : 0;
}

Status set_controlling(Cursor& c, TableOrders& orders, uint16_t order) {
  if (order == 0) {
    c.set_navigator(nullptr);
    return Status::success();
  }
  if (!orders.order(order)) return Status::error(ACE_ERR_ARGUMENT, c.table().path(), "no order of that number");
  c.set_navigator(std::make_unique<TagNavigator>(c.table(), orders, order));
  return Status::success();
}

uint32_t copy_text(const std::string& text, char* buffer, uint32_t* length) {
  if (!length) return remember(Status::error(ACE_ERR_ARGUMENT, "", "length pointer is null"));
  if (!buffer || *length <= text.size()) {
    *length = static_cast<uint32_t>(text.size() + 1);
    return remember(Status::error(ACE_ERR_BUFFER_SMALL, "", "buffer too small"));
  }
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  *length = static_cast<uint32_t>(text.size());
  return ACE_OK;
}

template <typename Get>
uint32_t order_text(ACE_HANDLE h, uint16_t order, char* buffer, uint32_t* length, Get get) {
  return with_orders(h, [&](Cursor& c, TableOrders& orders) {
    ace::order::Order* o = orders.order(order);
    if (!o) return remember(Status::error(ACE_ERR_ARGUMENT, c.table().path(), "no order of that number"));
    return copy_text(get(*o), buffer, length);
  });
}

uint32_t seek_bytes(Cursor& c, const std::string& key, uint16_t soft, uint16_t* found) {
  auto* nav = dynamic_cast<TagNavigator*>(c.navigator());
  if (!nav) return remember(Status::error(ACE_ERR_ARGUMENT, c.table().path(), "no controlling order"));
  uint32_t recno = 0;
  bool hit = false;
  Status s = nav->seek(key, &recno, &hit);
  if (!s.ok()) return remember(s);
  if (found) *found = hit ? 1 : 0;
  if (!hit && !soft) recno = 0;
  if (recno == 0) {
    uint32_t n = 0;
    if (!(s = c.table().record_count(&n)).ok()) return remember(s);
    return remember(c.go_to(n + 1));
  }
  return remember(c.go_to(recno));
}

}  // namespace

extern "C" {

ACE_RESULT ACE_ENTRY ace_create_index(ACE_HANDLE table, const char* bag, const char* tag, const char* key,
                                      const char* condition, uint32_t options, uint16_t* order) {
  return with_orders(table, [&](Cursor& c, TableOrders& orders) {
    if (!tag || !key) return remember(Status::error(ACE_ERR_ARGUMENT, "", "tag or key is null"));
    c.set_navigator(nullptr);
    orders.close_other_bags();
    ace::order::OrderSpec spec{tag, key, condition ? condition : "", (options & ACE_INDEX_UNIQUE) != 0,
                               (options & ACE_INDEX_DESCENDING) != 0};
    size_t number = 0;
    Status s = orders.create_order(bag ? bag : "", spec, &number);
    if (!s.ok()) return remember(s);
    if (order) *order = static_cast<uint16_t>(number);
    if (!(s = set_controlling(c, orders, static_cast<uint16_t>(number))).ok()) return remember(s);
    return remember(c.go_top());
  });
}

ACE_RESULT ACE_ENTRY ace_open_index(ACE_HANDLE table, const char* bag, uint16_t* count) {
  return with_orders(table, [&](Cursor&, TableOrders& orders) {
    if (!bag) return remember(Status::error(ACE_ERR_ARGUMENT, "", "bag is null"));
    Status s = orders.open_bag(bag, false);
    if (s.ok() && count) *count = static_cast<uint16_t>(orders.order_count());
    return remember(s);
  });
}

ACE_RESULT ACE_ENTRY ace_close_indexes(ACE_HANDLE table) {
  return with_orders(table, [&](Cursor& c, TableOrders& orders) {
    c.set_navigator(nullptr);
    orders.close_other_bags();
    return ACE_OK;
  });
}

ACE_RESULT ACE_ENTRY ace_set_order(ACE_HANDLE table, uint16_t order) {
  return with_orders(table, [&](Cursor& c, TableOrders& orders) { return remember(set_controlling(c, orders, order)); });
}

ACE_RESULT ACE_ENTRY ace_get_order(ACE_HANDLE table, uint16_t* order) {
  return with_orders(table, [&](Cursor& c, TableOrders&) {
    if (!order) return remember(Status::error(ACE_ERR_ARGUMENT, "", "order pointer is null"));
    *order = controlling(c);
    return ACE_OK;
  });
}

ACE_RESULT ACE_ENTRY ace_order_count(ACE_HANDLE table, uint16_t* count) {
  return with_orders(table, [&](Cursor&, TableOrders& orders) {
    if (!count) return remember(Status::error(ACE_ERR_ARGUMENT, "", "count pointer is null"));
    *count = static_cast<uint16_t>(orders.order_count());
    return ACE_OK;
  });
}

ACE_RESULT ACE_ENTRY ace_order_name(ACE_HANDLE table, uint16_t order, char* buffer, uint32_t* length) {
  return order_text(table, order, buffer, length, [](ace::order::Order& o) { return o.tag->name(); });
}
ACE_RESULT ACE_ENTRY ace_order_key(ACE_HANDLE table, uint16_t order, char* buffer, uint32_t* length) {
  return order_text(table, order, buffer, length, [](ace::order::Order& o) { return o.tag->key_expr(); });
}
ACE_RESULT ACE_ENTRY ace_order_condition(ACE_HANDLE table, uint16_t order, char* buffer, uint32_t* length) {
  return order_text(table, order, buffer, length, [](ace::order::Order& o) { return o.tag->for_expr(); });
}

ACE_RESULT ACE_ENTRY ace_order_options(ACE_HANDLE table, uint16_t order, uint32_t* options) {
  return with_orders(table, [&](Cursor& c, TableOrders& orders) {
    ace::order::Order* o = orders.order(order);
    if (!o || !options) return remember(Status::error(ACE_ERR_ARGUMENT, c.table().path(), "no order of that number"));
    *options = (o->tag->unique() ? ACE_INDEX_UNIQUE : 0u) | (o->tag->descending() ? ACE_INDEX_DESCENDING : 0u);
    return ACE_OK;
  });
}

ACE_RESULT ACE_ENTRY ace_seek(ACE_HANDLE table, const char* key, uint32_t length, uint16_t soft, uint16_t* found) {
  return with_orders(table, [&](Cursor& c, TableOrders&) {
    if (!key) return remember(Status::error(ACE_ERR_ARGUMENT, "", "key is null"));
    return seek_bytes(c, std::string(key, length), soft, found);
  });
}

ACE_RESULT ACE_ENTRY ace_seek_double(ACE_HANDLE table, double value, uint16_t soft, uint16_t* found) {
  return with_orders(table, [&](Cursor& c, TableOrders& orders) {
    ace::order::Order* o = orders.order(controlling(c));
    if (!o) return remember(Status::error(ACE_ERR_ARGUMENT, c.table().path(), "no controlling order"));
    std::string key;
    if (o->tag->key_len() == 4) {
      uint8_t b[4];
      ace::expr::encode_integer_key(static_cast<int32_t>(value), b);
      key.assign(reinterpret_cast<char*>(b), 4);
    } else {
      uint8_t b[8];
      ace::expr::encode_double_key(value, b);
      key.assign(reinterpret_cast<char*>(b), 8);
    }
    return seek_bytes(c, key, soft, found);
  });
}

ACE_RESULT ACE_ENTRY ace_verify_indexes(ACE_HANDLE table) {
  return with_orders(table, [&](Cursor&, TableOrders& orders) { return remember(orders.verify()); });
}

ACE_RESULT ACE_ENTRY ace_reindex(ACE_HANDLE table) {
  return with_orders(table, [&](Cursor&, TableOrders& orders) { return remember(orders.reindex()); });
}

}  // extern "C"
