// The orders of one table: its structural bag (opened with the table) and any
// other bags opened or built on it, each tag bound to its compiled key and FOR
// condition. As the table's IndexMaintainer it keeps every tag in step with
// appends and record changes; a tag whose expression the engine cannot evaluate
// leaves the table readable but makes every write fail before anything changes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cdx/bag.h"
#include "expr/expr.h"
#include "order/header_lock.h"
#include "status.h"
#include "table/index_maintainer.h"

namespace ace::table {
class Table;
}

namespace ace::order {

class RecordAdapter;

struct Order {
  cdx::Bag* bag = nullptr;
  cdx::Tag* tag = nullptr;
  std::optional<expr::Program> key;
  std::optional<expr::Program> condition;
  expr::KeySpec spec;
  bool maintainable = false;
  std::string problem;  // why it is not, for the error text
};

struct OrderSpec {
  std::string tag;  // 1 to 10 characters of letters, digits and "_"
  std::string key_expr;
  std::string for_expr;
  bool unique = false;
  bool descending = false;
};

// Engine's Status from an index status.
Status from_cdx(const cdx::Status& s, const std::string& file = "");

class TableOrders : public table::IndexMaintainer {
 public:
  explicit TableOrders(table::Table& table) : table_(table) {}

  // Opens a bag and binds its tags; the structural one is kept open for good.
  Status open_bag(const std::string& path, bool structural);
  // Builds a tag over every record in the structural bag (bag_path empty; the bag
  // is created and the table's header flag set when missing) or in the named bag,
  // replacing a tag of that name. *order_number is the new order's number.
  Status create_order(const std::string& bag_path, const OrderSpec& spec, size_t* order_number);
  // Closes every bag but the structural one, whose orders stay (they are the
  // table's own and must be maintained).
  void close_other_bags();

  size_t order_count() const { return orders_.size(); }
  // Orders are numbered from 1: the structural bag's tags, then other bags' in
  // the order they were opened.
  Order* order(size_t number);
  // 0 when no order has that tag name (case ignored).
  size_t find_order(std::string_view tag) const;
  const std::string& structural_path() const;

  // The key a record has in the order, and whether it belongs there (FOR).
  Status key_of(Order& o, uint32_t recno, std::string_view bytes, std::string* key, bool* included);
  Status key_in(Order& o, const RecordAdapter& ctx, const expr::EvalSettings& es, std::string* key,
                bool* included);
  // Rebuilds the structural bag from its own tag definitions: a fresh file, every
  // tag built from the records. Needs the table open exclusively; refused, with
  // nothing changed, when a tag cannot be evaluated by the engine.
  Status reindex();

  // Picks up other writers' changes to the bags (and binds their tags again when
  // tags came or went).
  Status refresh();
  // A change to the bags: under the table's header lock (appenders hold it
  // already; other writers take it here), with the bags' counters marking the
  // change as under way until end_change. *unfinished, when asked, tells whether
  // a writer stopped part-way through an earlier change.
  Status begin_change(bool header_held, bool* unfinished = nullptr);
  // `finished` false leaves the mark for the next writer to see.
  void end_change(bool finished);

  // For a shared table without a structural bag: before each write, look
  // whether another user has started one (the table's header mark) and open it.
  void watch_for_structural_bag(std::string path) { watched_bag_ = std::move(path); }

  Status check_writable() override;
  Status on_append(uint32_t recno, const table::RecordView& rec) override;
  Status on_update(uint32_t recno, const table::RecordView& before, const table::RecordView& after) override;
  Status before_append(uint32_t recno) override;
  void after_append(bool counted) override;
  // The bytes in the slot of record `recno` when it is beyond the count (left by
  // an append under way or killed); empty when there are none.
  std::string leftover(uint32_t recno);

  table::Table& table() { return table_; }
  const std::string& alias() const { return alias_; }
  void set_alias(std::string alias) { alias_ = std::move(alias); }

 private:
  struct OpenBag {
    std::string path;
    bool structural;
    std::unique_ptr<cdx::Bag> bag;
  };
  void bind(OpenBag& b);
  void rebind_all();
  Status compile_spec(const OrderSpec& spec, Order* bound, const std::string& file);
  Status build_tag(cdx::Bag& bag, const OrderSpec& spec);
  Status create_bag(const std::string& path, bool structural);
  Status replace_unique(Order& o, const std::string& key, uint32_t skip);
  Status adopt_structural_bag();

  table::Table& table_;
  std::string alias_;
  std::vector<OpenBag> bags_;
  std::vector<Order> orders_;
  std::string watched_bag_;  // empty unless watching for a structural bag
  std::unique_ptr<HeaderLock> change_lock_;  // taken by begin_change itself
  bool change_open_ = false;
};

// True for a name a tag may have: 1 to 10 letters, digits or "_", not starting
// with a digit.
bool valid_tag_name(std::string_view name);

}  // namespace ace::order
