#include "table_operations.h"

#include "driver_catalog.h"
#include "net_error.h"
#include "platform/error.h"
#include "workareas.h"

namespace tbl {
namespace {

bool g_unique = false;

plat::Error command_error(int gen_code, const char* description, const char* operation) {
  plat::Error e;
  e.gen_code = gen_code;
  e.subsystem = "DBCMD";
  e.description = description;
  e.operation = operation;
  return e;
}

// The current area's table; raises "Workarea not in use" when there is none.
Table* table_or_raise(const char* operation) {
  Table* t = workspace().current_area().table.get();
  if (!t) plat::raise_error(command_error(plat::EG_NOTABLE, "Workarea not in use", operation));
  return t;
}

Table* table_if_any() { return workspace().current_area().table.get(); }

// Runs a driver operation until it succeeds or the handler stops asking for a
// retry; true when it succeeded.
template <class Op>
bool run_with_retry(Op op) {
  for (;;) {
    Status s = op();
    if (s.ok()) return true;
    const plat::ErrorAnswer answer = plat::raise_error(*s.error);
    if (answer != plat::ErrorAnswer::Retry || !s.error->can_retry) return false;
  }
}

void raise_status(const Status& s) {
  if (!s.ok()) plat::raise_error(*s.error);
}

// The alias a table gets by default: its file name without folder and extension.
std::string alias_from_file(const std::string& file) {
  const auto cut = file.find_last_of("\\/:");
  std::string name = cut == std::string::npos ? file : file.substr(cut + 1);
  const auto dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return name;
}

}  // namespace

void DBUSEAREA(bool new_area, const std::string& driver_name, const std::string& file,
               const std::optional<std::string>& alias, bool shared, bool read_only) {
  set_neterr(false);
  Workspace& ws = workspace();
  if (new_area)
    ws.select(ws.lowest_free());
  else
    ws.close(ws.current());

  const std::string name = driver_name.empty() ? default_table_driver() : driver_name;
  auto driver = find_table_driver(name);
  if (!driver) {
    plat::Error e = command_error(plat::EG_ARG, "Argument error", "DBUSEAREA");
    e.operation = "DBUSEAREA: driver " + name;
    plat::raise_error(e);
    set_neterr(true);
    return;
  }

  OpenRequest request;
  request.file = file;
  // A blank alias names nothing: the file's name serves, as when none is given.
  const bool named = alias && alias->find_first_not_of(' ') != std::string::npos;
  request.alias = named ? *alias : alias_from_file(file);
  request.alias.erase(request.alias.find_last_not_of(' ') + 1);
  request.alias.erase(0, request.alias.find_first_not_of(' '));
  for (char& c : request.alias)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  request.shared = shared;
  request.read_only = read_only;

  if (ws.find_alias(request.alias) != 0) {
    plat::Error e = command_error(plat::EG_DUPALIAS, "Alias already in use", "DBUSEAREA");
    e.operation = request.alias;
    plat::raise_error(e);
    set_neterr(true);
    return;
  }

  std::unique_ptr<Table> table;
  if (!run_with_retry([&] { return driver->open(request, &table); }) || !table) {
    // Whatever the handler answered, the open failed: say so to the caller.
    set_neterr(true);
    return;
  }
  WorkArea& area = ws.current_area();
  area.table = std::move(table);
  area.alias = request.alias;
  area.driver = driver;
}

void DBCLOSEAREA() { workspace().close(workspace().current()); }

void DBSELECTAREA(const Value& area) {
  if (area.type() == Value::Type::Numeric && area.number() == 0) {
    workspace().select(workspace().lowest_free());
    return;
  }
  const int number = area_of_alias_or_raise(area);
  if (number != 0) workspace().select(number);
}

int SELECT() { return workspace().current(); }

bool RLOCK() {
  Table* t = table_or_raise("RLOCK");
  return t && t->lock_record();
}

void DBAPPEND() {
  set_neterr(false);
  Table* t = table_or_raise("DBAPPEND");
  if (!t) {
    // Nothing was appended; a caller judging by the indicator must see that.
    set_neterr(true);
    return;
  }
  if (!run_with_retry([&] { return t->append(); })) set_neterr(true);
}

uint32_t RECNO() {
  Table* t = table_if_any();
  return t ? t->record_number() : 0;
}

int INDEXORD() {
  Table* t = table_if_any();
  return t ? t->order_number() : 0;
}

void DBSETORDER(int order) {
  if (Table* t = table_or_raise("DBSETORDER")) raise_status(t->set_order(order));
}

void DBGOTO(uint32_t record) {
  if (Table* t = table_or_raise("DBGOTO")) raise_status(t->go_to(record));
}

void DBGOTOP() {
  if (Table* t = table_or_raise("DBGOTOP")) raise_status(t->go_top());
}

void DBGOBOTTOM() {
  if (Table* t = table_or_raise("DBGOBOTTOM")) raise_status(t->go_bottom());
}

void DBSKIP(long count) {
  if (Table* t = table_or_raise("DBSKIP")) raise_status(t->skip(count));
}

std::string ALIAS() {
  const WorkArea& area = workspace().current_area();
  return area.table ? area.alias : std::string();
}

std::string INDEXEXT() {
  const WorkArea& area = workspace().current_area();
  if (area.table && area.driver) return area.driver->index_extension();
  auto driver = find_table_driver(default_table_driver());
  return driver ? driver->index_extension() : std::string();
}

void ORDCONDSET(const std::vector<Value>& values) {
  if (!table_or_raise("ORDCONDSET")) return;
  OrderCondition c;
  if (values.size() >= 7 && values[6].type() == Value::Type::Numeric && values[6].number() > 0)
    c.start_record = static_cast<uint32_t>(values[6].number());
  workspace().current_area().next_order_condition = c;
}

void ORDCREATE(const std::optional<std::string>& bag, const std::optional<std::string>& tag,
               const std::string& key, const KeyBlock& block, std::optional<bool> unique) {
  Table* t = table_or_raise("ORDCREATE");
  if (!t) return;
  WorkArea& area = workspace().current_area();
  OrderRequest request;
  request.bag = bag;
  request.tag = tag;
  request.key = key;
  request.block = block;
  request.unique_given = unique;
  request.unique = unique.value_or(g_unique);
  request.condition = area.next_order_condition;
  // The condition serves one order only.
  area.next_order_condition = {};
  const Status s = t->create_order(request);
  if (!s.ok()) {
    plat::raise_error(*s.error);
    return;
  }
  raise_status(t->go_top());
}

void DBCREATEINDEX(const std::string& file, const std::string& key, const KeyBlock& block,
                   std::optional<bool> unique) {
  ORDCREATE(file, std::nullopt, key, block, unique);
}

void DBCLEARINDEX() {
  if (Table* t = table_or_raise("DBCLEARINDEX")) raise_status(t->clear_orders());
}

int FCOUNT() {
  Table* t = table_if_any();
  return t ? t->field_count() : 0;
}

Value FIELDGET(int field) {
  Table* t = table_if_any();
  if (!t || field < 1 || field > t->field_count()) return Value();
  return t->field_get(field);
}

void FIELDPUT(int field, const Value& value) {
  Table* t = table_if_any();
  if (!t || field < 1 || field > t->field_count()) return;
  raise_status(t->field_put(field, value));
}

bool unique_setting() { return g_unique; }
void set_unique_setting(bool on) { g_unique = on; }

}  // namespace tbl
