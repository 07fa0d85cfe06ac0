#include "order/order_layer.h"

#include "table/table.h"

namespace ace::order {

void register_order_layer() {
  table::register_structural_bag_factory(
      [](table::Table& table, const std::string& path, std::unique_ptr<table::IndexMaintainer>* out) {
        const bool marked = (table.header().flags & dbf::kHasStructuralCdx) != 0;
        // A table marked as having a structural bag whose file is gone opens
        // without orders: there is no index that could go stale.
        if (marked && io::file_exists(path)) {
          auto orders = std::make_unique<TableOrders>(table);
          Status s = orders->open_bag(path, true);
          if (!s.ok()) return s;
          *out = std::move(orders);
        } else if (table.shared() && !table.read_only()) {
          // Another user may start the bag while we write: we look before each write.
          auto orders = std::make_unique<TableOrders>(table);
          orders->watch_for_structural_bag(path);
          *out = std::move(orders);
        }
        return Status::success();
      });
}

TableOrders& orders_of(table::Table& table) {
  if (auto* existing = dynamic_cast<TableOrders*>(table.index_maintainer())) return *existing;
  auto fresh = std::make_unique<TableOrders>(table);
  // A table opened before the layer was registered still gets its structural bag.
  if (table.header().flags & dbf::kHasStructuralCdx) {
    std::string bag = table::companion_path(table::strip_extension(table.path()), ".cdx");
    if (io::file_exists(bag)) fresh->open_bag(bag, true);
  }
  TableOrders& ref = *fresh;
  table.set_index_maintainer(std::move(fresh));
  return ref;
}

}  // namespace ace::order
