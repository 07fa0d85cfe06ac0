#include "index_building.h"

#include <vector>

#include "driver_catalog.h"
#include "key_block.h"
#include "platform/file_names.h"
#include "table_operations.h"
#include "workareas.h"

namespace tbl {
namespace {

Value alias_or_current(const Value& alias) {
  return alias.is_nil() ? Value::character(ALIAS()) : alias;
}

// ORDCONDSET with every value empty but the seventh, the area's record.
void condition_from_current_record() {
  std::vector<Value> values(11);
  values[6] = Value::numeric(RECNO());
  ORDCONDSET(values);
}

void build_tagged_order(const Value& alias, const Value& key, const KeyBlock& block,
                        const std::optional<std::string>& bag, const std::string& name_for_tag,
                        bool unique, bool reset) {
  AreaScope scope(alias_or_current(alias));
  if (!scope.ok()) return;
  if (reset) DBSETORDER(0);
  const std::string tag = plat::CFILENOEXT(name_for_tag);
  condition_from_current_record();
  ORDCREATE(bag, tag, key.text(), block, unique);
}

}  // namespace

Value CREATECDX(const Value& alias, const Value& key, const std::string& name,
                std::optional<bool> unique, std::optional<bool> reset) {
  const auto block = compile_key_block(key);
  if (!block) return Value();
  build_tagged_order(alias, key, *block, std::nullopt, name, unique.value_or(false), reset.value_or(false));
  return Value();
}

Value CREAINDICE(const Value& alias, const Value& key, const std::string& file,
                 std::optional<bool> unique, std::optional<bool> reset, std::optional<bool> own_bag,
                 const Value& /*ignored*/) {
  const auto block = compile_key_block(key);
  if (!block) return Value();
  if (default_table_driver() == "DBFNTX") {
    AreaScope scope(alias_or_current(alias));
    if (!scope.ok()) return Value();
    if (reset.value_or(false)) DBCLEARINDEX();
    // Only a unique request is passed on; otherwise the program-wide setting rules.
    DBCREATEINDEX(file, key.text(), *block, unique.value_or(false) ? std::optional<bool>(true) : std::nullopt);
    return Value();
  }
  const auto bag = own_bag.value_or(false) ? std::optional<std::string>(file) : std::nullopt;
  build_tagged_order(alias, key, *block, bag, file, unique.value_or(false), reset.value_or(false));
  return Value();
}

}  // namespace tbl
