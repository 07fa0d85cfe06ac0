#include "workareas.h"

#include "platform/error.h"

namespace tbl {
namespace {

std::string upper_trimmed(const std::string& s) {
  const auto first = s.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  std::string out = s.substr(first, s.find_last_not_of(' ') - first + 1);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

}  // namespace

int Workspace::lowest_free() const {
  int n = 1;
  for (const auto& [number, area] : areas_) {
    if (number != n) break;
    if (!area.table) break;
    ++n;
  }
  return n;
}

int Workspace::find_alias(const std::string& alias) const {
  const std::string wanted = upper_trimmed(alias);
  if (wanted.empty()) return 0;
  for (const auto& [number, area] : areas_)
    if (area.table && area.alias == wanted) return number;
  return 0;
}

void Workspace::close(int number) {
  const auto it = areas_.find(number);
  if (it == areas_.end()) return;
  it->second.table.reset();
  it->second.alias.clear();
  it->second.driver.reset();
  it->second.next_order_condition = {};
}

void Workspace::close_all() {
  for (auto& [number, area] : areas_) close(number);
}

std::string Workspace::describe() const {
  std::string out;
  for (const auto& [number, area] : areas_) {
    if (!area.table) continue;
    out += std::to_string(number) + " " + area.alias + (number == current_ ? " (current)\n" : "\n");
  }
  return out;
}

Workspace& workspace() {
  // Never destroyed: tables are closed by the end of the program, before the
  // engine behind the drivers is torn down; a destructor at exit would come after.
  static Workspace* w = new Workspace;
  return *w;
}

int area_of_alias(const Value& alias) {
  if (alias.type() == Value::Type::Numeric) {
    const double n = alias.number();
    return n >= 1 && n <= 65535 ? static_cast<int>(n) : 0;
  }
  if (alias.is_text()) return workspace().find_alias(alias.text());
  return 0;
}

int area_of_alias_or_raise(const Value& alias) {
  const int number = area_of_alias(alias);
  if (number == 0) {
    plat::Error e;
    e.gen_code = plat::EG_NOALIAS;
    e.subsystem = "BASE";
    e.description = "Alias does not exist";
    e.operation = alias.is_text() ? alias.text() : std::string();
    plat::raise_error(e);
  }
  return number;
}

AreaScope::AreaScope(const Value& alias) : previous_(workspace().current()) {
  const int number = area_of_alias_or_raise(alias);
  if (number == 0) return;
  workspace().select(number);
  ok_ = true;
}

AreaScope::~AreaScope() {
  // A routine run "in" an area leaves the caller's area current afterwards.
  if (ok_) workspace().select(previous_);
}

}  // namespace tbl
