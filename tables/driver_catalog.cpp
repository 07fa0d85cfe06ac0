#include "driver_catalog.h"

#include <map>

namespace tbl {
namespace {

std::string upper(std::string s) {
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::map<std::string, std::shared_ptr<TableDriver>>& drivers() {
  static std::map<std::string, std::shared_ptr<TableDriver>> d;
  return d;
}

std::string& default_name() {
  static std::string n;
  return n;
}

}  // namespace

void register_table_driver(const std::string& name, std::shared_ptr<TableDriver> driver) {
  drivers()[upper(name)] = std::move(driver);
}

std::shared_ptr<TableDriver> find_table_driver(const std::string& name) {
  const auto it = drivers().find(upper(name));
  return it == drivers().end() ? nullptr : it->second;
}

void unregister_table_driver(const std::string& name) { drivers().erase(upper(name)); }

std::string default_table_driver() { return default_name(); }
void set_default_table_driver(const std::string& name) { default_name() = upper(name); }

}  // namespace tbl
