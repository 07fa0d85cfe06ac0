// The C interface entries for index orders: handles to cursors, orders of the
// cursor's table, status codes out.
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "ace32.h"
#include "api/cursor_registry.h"
#include "expr/key_encoding.h"
#include "order/order_layer.h"
#include "order/tag_navigator.h"
#include "order/verify.h"
#include "table/table.h"

using ace::Status;
using ace::api::Cursor;
using ace::api::remember;
using ace::order::TableOrders;
using ace::order::TagNavigator;

namespace {

template <typename Fn>
uint32_t with_orders(ACE_HANDLE h, Fn fn) {
  Cursor* c = ace::api::find_cursor(h);
  if (!c) return remember(Status::error(ACE_ERR_HANDLE, "", "handle names no open table"));
  // Keys are looked up in the file's tags: a record held in memory goes there first.
  if (Status s = ace::api::commit_pending(); !s.ok()) return remember(s);
  return fn(*c, ace::order::orders_of(c->table()));
}

Status no_order(const Cursor& c) { return Status::error(ACE_ERR_NO_ORDER, c.table().path(), "no order of that number"); }

uint16_t controlling(const Cursor& c) {
  auto* nav = dynamic_cast<TagNavigator*>(c.navigator());
  return nav ? static_cast<uint16_t>(nav->order_number()) : 0;
}

Status set_controlling(Cursor& c, TableOrders& orders, size_t order) {
  if (order == 0) {
    c.set_navigator(nullptr);
    return Status::success();
  }
  if (!orders.order(order)) return no_order(c);
  c.set_navigator(std::make_unique<TagNavigator>(c.table(), orders, order));
  return Status::success();
}

// "dir\\a.b.cdx" -> "A": the name without folder, cut at the first dot.
std::string base_name(const std::string& path) {
  size_t slash = path.find_last_of("/\\:");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  name = name.substr(0, name.find('.'));
  for (char& ch : name) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  return name;
}

// A bag named without extension is a ".cdx" file.
std::string bag_file(const std::string& bag) {
  return ace::table::strip_extension(bag) == bag ? bag + ".cdx" : bag;
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

// As ace_get_last_error: cut to fit, NUL-terminated when there is room.
void copy_cut(const std::string& text, char* buffer, uint32_t* length) {
  if (!length) return;
  uint32_t room = *length;
  uint32_t n = static_cast<uint32_t>(text.size());
  if (n >= room) n = room ? room - 1 : 0;
  if (buffer && room) {
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
  }
  *length = n;
}

template <typename Get>
uint32_t order_text(ACE_HANDLE h, uint16_t order, char* buffer, uint32_t* length, Get get) {
  return with_orders(h, [&](Cursor& c, TableOrders& orders) {
    ace::order::Order* o = orders.order(order);
    if (!o) return remember(no_order(c));
    return copy_text(get(*o), buffer, length);
  });
}

uint32_t seek_bytes(Cursor& c, const std::string& key, uint16_t soft, uint16_t* found) {
  auto* nav = dynamic_cast<TagNavigator*>(c.navigator());
  if (!nav) return remember(Status::error(ACE_ERR_NO_ORDER, c.table().path(), "no controlling order"));
  uint32_t n = 0, recno = 0;
  bool hit = false;
  Status s = c.table().record_count(&n);
  if (s.ok()) s = nav->seek(key, &recno, &hit);
  if (!s.ok()) return remember(s);
  if (found) *found = hit ? 1 : 0;
  if (!hit && !soft) recno = 0;
  return remember(c.go_to(recno));
}

}  // namespace

extern "C" {

ACE_RESULT ACE_ENTRY ace_create_index(ACE_HANDLE table, const char* bag, const char* tag, const char* key,
                                      const char* condition, uint32_t options, uint16_t* order) {
  return with_orders(table, [&](Cursor& c, TableOrders& orders) {
    if (!key) return remember(Status::error(ACE_ERR_ARGUMENT, "", "key is null"));
    const std::string bag_path = bag && *bag ? bag_file(bag) : "";
    std::string name = tag && *tag ? tag : "";
    if (name.empty()) {
      if (bag_path.empty()) return remember(Status::error(ACE_ERR_TAG_NAME, c.table().path(), "no tag and no bag"));
      name = base_name(bag_path);
    }
    c.set_navigator(nullptr);
    orders.close_other_bags();
    ace::order::OrderSpec spec{name, key, condition ? condition : "", (options & ACE_INDEX_UNIQUE) != 0,
                               (options & ACE_INDEX_DESCENDING) != 0};
    size_t number = 0;
    Status s = orders.create_order(bag_path, spec, &number);
    if (!s.ok()) return remember(s);
    if (order) *order = static_cast<uint16_t>(number);
    if (!(s = set_controlling(c, orders, number)).ok()) return remember(s);
    return remember(c.go_top());
  });
}

ACE_RESULT ACE_ENTRY ace_open_index(ACE_HANDLE table, const char* bag, uint16_t* count) {
  return with_orders(table, [&](Cursor&, TableOrders& orders) {
    if (!bag || !*bag) return remember(Status::error(ACE_ERR_ARGUMENT, "", "no bag named"));
    Status s = orders.open_bag(bag_file(bag), false);
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

ACE_RESULT ACE_ENTRY ace_set_order_by_name(ACE_HANDLE table, const char* tag) {
  return with_orders(table, [&](Cursor& c, TableOrders& orders) {
    if (!tag || !*tag) return remember(set_controlling(c, orders, 0));
    size_t n = orders.find_order(tag);
    if (!n) return remember(Status::error(ACE_ERR_NO_ORDER, c.table().path(), std::string("no order of tag ") + tag));
    return remember(set_controlling(c, orders, n));
  });
}

ACE_RESULT ACE_ENTRY ace_order_number(ACE_HANDLE table, const char* tag, uint16_t* order) {
  return with_orders(table, [&](Cursor& c, TableOrders& orders) {
    if (!tag || !order) return remember(Status::error(ACE_ERR_ARGUMENT, "", "tag and order are required"));
    size_t n = orders.find_order(tag);
    if (!n) return remember(Status::error(ACE_ERR_NO_ORDER, c.table().path(), std::string("no order of tag ") + tag));
    *order = static_cast<uint16_t>(n);
    return ACE_OK;
  });
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
ACE_RESULT ACE_ENTRY ace_order_bag(ACE_HANDLE table, uint16_t order, char* buffer, uint32_t* length) {
  return order_text(table, order, buffer, length, [](ace::order::Order& o) { return o.bag->path(); });
}

ACE_RESULT ACE_ENTRY ace_order_options(ACE_HANDLE table, uint16_t order, uint32_t* options) {
  return with_orders(table, [&](Cursor& c, TableOrders& orders) {
    if (!options) return remember(Status::error(ACE_ERR_ARGUMENT, "", "options pointer is null"));
    ace::order::Order* o = orders.order(order);
    if (!o) return remember(no_order(c));
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
    if (!o) return remember(Status::error(ACE_ERR_NO_ORDER, c.table().path(), "no controlling order"));
    std::string key;
    if (o->tag->key_len() == 4 && o->tag->kind() == ace::cdx::KeyKind::Binary) {
      uint8_t b[4];
      ace::expr::encode_integer_key(static_cast<int32_t>(value), b);
      key.assign(reinterpret_cast<char*>(b), 4);
    } else if (o->tag->key_len() == 8 && o->tag->kind() == ace::cdx::KeyKind::Binary) {
      uint8_t b[8];
      ace::expr::encode_double_key(value, b);
      key.assign(reinterpret_cast<char*>(b), 8);
    } else {
      return remember(Status::error(ACE_ERR_KEY_TYPE, c.table().path(), "the controlling order is not keyed on a number"));
    }
    return seek_bytes(c, key, soft, found);
  });
}

ACE_RESULT ACE_ENTRY ace_verify_indexes(ACE_HANDLE table, uint32_t* problems, char* report,
                                        uint32_t* report_length) {
  return with_orders(table, [&](Cursor&, TableOrders& orders) {
    std::vector<ace::order::VerifyProblem> found;
    Status s = ace::order::verify_orders(orders, &found);
    if (!s.ok()) return remember(s);
    if (problems) *problems = static_cast<uint32_t>(found.size());
    std::string text;
    for (const auto& p : found) text += (text.empty() ? "" : "\n") + ace::order::describe(p);
    copy_cut(text, report, report_length);
    if (found.empty()) return ACE_OK;
    return remember(Status::error(ACE_ERR_INDEX_VERIFY, found.front().file, ace::order::describe(found.front())));
  });
}

ACE_RESULT ACE_ENTRY ace_reindex(ACE_HANDLE table) {
  return with_orders(table, [&](Cursor& c, TableOrders& orders) {
    c.set_navigator(nullptr);
    return remember(orders.reindex());
  });
}

}  // extern "C"
