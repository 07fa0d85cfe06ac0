#include "drivers.h"

#include "ads_driver.h"

namespace tbl {

namespace {

struct KnownDriver {
  const char* name;
  void (*on_register)();
  void (*on_shutdown)();
};

// The drivers this engine carries; only "ADS" has work to do on either event.
const KnownDriver kKnown[] = {
    {"DBF", nullptr, nullptr},
    {"SDF", nullptr, nullptr},
    {"DELIM", nullptr, nullptr},
    {"ADS", ads_on_register, ads_on_shutdown},
};

const KnownDriver* find_known(const std::string& name) {
  for (const KnownDriver& d : kKnown)
    if (name == d.name) return &d;
  return nullptr;
}

struct Registry {
  std::vector<DriverInfo> drivers;
  std::string default_name;
};

Registry& registry() {
  static Registry r;
  return r;
}

bool is_registered(const std::string& name) {
  for (const DriverInfo& d : registry().drivers)
    if (d.name == name) return true;
  return false;
}

}  // namespace

bool RDDREGISTER(const std::string& name, int kind) {
  const KnownDriver* known = find_known(name);
  if (!known) return false;
  if (is_registered(name)) return true;
  registry().drivers.push_back({name, kind});
  if (known->on_register) known->on_register();
  return true;
}

std::string RDDSETDEFAULT(const std::string& name) {
  std::string previous = registry().default_name;
  if (is_registered(name)) registry().default_name = name;
  return previous;
}

std::string DBSETDRIVER() { return registry().default_name; }

std::vector<DriverInfo> registered_drivers() { return registry().drivers; }

void shutdown_drivers() {
  Registry& r = registry();
  while (!r.drivers.empty()) {
    const DriverInfo d = r.drivers.back();
    r.drivers.pop_back();
    if (const KnownDriver* known = find_known(d.name))
      if (known->on_shutdown) known->on_shutdown();
  }
  r.default_name.clear();
}

std::string describe_drivers() {
  std::string out;
  for (const DriverInfo& d : registry().drivers) {
    out += d.name + " (kind " + std::to_string(d.kind) + ")";
    if (d.name == registry().default_name) out += ", default";
    if (d.name == "ADS") out += std::string(", tables ") + ads_table_kind();
    out += "\r\n";
  }
  return out;
}

}  // namespace tbl
