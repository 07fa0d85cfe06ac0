// The table drivers known by name, and which one a table operation that names no
// driver uses.
#pragma once

#include <memory>
#include <string>

#include "table_driver.h"

namespace tbl {

// Registers (or replaces) the driver under a name, compared without case. Drivers
// registered here come first; tests put their own under any name.
void register_table_driver(const std::string& name, std::shared_ptr<TableDriver> driver);
// The driver of that name: one registered here, else the "ADS" driver over the
// client engine while the engine configuration (RDDREGISTER) has it registered;
// null otherwise.
std::shared_ptr<TableDriver> find_table_driver(const std::string& name);
void unregister_table_driver(const std::string& name);

// The default driver's name: DBSETDRIVER() of the engine configuration, unless a
// name has been set here (tests; "" returns to the configuration's).
std::string default_table_driver();
void set_default_table_driver(const std::string& name);

}  // namespace tbl
