#include "driver_catalog.h"

#include <map>

#include "ads_driver.h"
#include "ads_driver_tables.h"
#include "drivers.h"

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

std::string& default_override() {
  static std::string n;
  return n;
}

bool registered_with_engine(const std::string& name) {
  for (const DriverInfo& d : registered_drivers())
    if (d.name == name) return true;
  return false;
}

}  // namespace

void register_table_driver(const std::string& name, std::shared_ptr<TableDriver> driver) {
  drivers()[upper(name)] = std::move(driver);
}

std::shared_ptr<TableDriver> find_table_driver(const std::string& name) {
  const std::string key = upper(name);
  const auto it = drivers().find(key);
  if (it != drivers().end()) return it->second;
  // The "ADS" driver, once the start-up configuration has registered it, works
  // through the client engine with whatever file type is then in force.
  if (key == "ADS" && registered_with_engine("ADS")) return std::make_shared<AdsTableDriver>(ads_file_type);
  return nullptr;
}

void unregister_table_driver(const std::string& name) { drivers().erase(upper(name)); }

std::string default_table_driver() {
  return default_override().empty() ? DBSETDRIVER() : default_override();
}
void set_default_table_driver(const std::string& name) { default_override() = upper(name); }

}  // namespace tbl
