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
#include "status.h"
#include "table/index_maintainer.h"

namespace ace::table {
class Table;
}

namespace ace::order {

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
  std::string tag;  // the tag name, already cut to a base name by the caller
  std::string key_expr;
  std::string for_expr;
  bool unique = false;
  bool descending = false;
};

// Engine's Status from an index status.
Status from_cdx(const cdx::Status& s);

class TableOrders : public table::IndexMaintainer {
 public:
  explicit TableOrders(table::Table& table) : table_(table) {}

  // Opens a bag and binds its tags; the structural one is kept open for good.
  Status open_bag(const std::string& path, bool structural);
  // Builds a tag over every record in the structural bag (bag_path empty, created
  // when missing) or in the named bag, replacing a tag of that name.
  Status create_order(const std::string& bag_path, const OrderSpec& spec, size_t* order_number);
  // Closes every bag but the structural one, whose orders stay (they are the
  // table's own and must be maintained).
  void close_other_bags();

  size_t order_count() const { return orders_.size(); }
  // Orders are numbered from 1 in the order of bags, then tags.
  Order* order(size_t number);
  // 0 when no order has that tag name.
  size_t find_order(std::string_view tag) const;

  // The record the key leads to in the order (0 at the end), soft or exact.
  Status seek(size_t number, std::string_view key, uint32_t* recno, bool* found);
  // The key a record has in the order, and whether it belongs there (FOR).
  Status key_of(Order& o, uint32_t recno, std::string_view bytes, std::string* key, bool* included);
  Status verify();
  // Rebuilds every maintainable tag from the records.
  Status reindex();

  Status check_writable() override;
  Status on_append(uint32_t recno, const table::RecordView& rec) override;
  Status on_update(uint32_t recno, const table::RecordView& before, const table::RecordView& after) override;

  const std::string& alias() const { return alias_; }
  void set_alias(std::string alias) { alias_ = std::move(alias); }

 private:
  struct OpenBag {
    std::string path;
    bool structural;
    std::unique_ptr<cdx::Bag> bag;
  };
  Status bind(OpenBag& b);
  void rebind_all();
  Status build_tag(cdx::Bag& bag, const OrderSpec& spec, Order* bound);
  // Every change runs under the bag's update lock, after picking up other writers' changes.
  Status lock_bags();
  void unlock_bags();
  Status replace_unique(Order& o, const std::string& key, uint32_t skip);

  table::Table& table_;
  std::string alias_;
  std::vector<OpenBag> bags_;
  std::vector<Order> orders_;
};

}  // namespace ace::order
