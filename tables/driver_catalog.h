// The table drivers known by name, and which one a table operation that names no
// driver uses.
#pragma once

#include <memory>
#include <string>

#include "table_driver.h"

namespace tbl {

// Registers (or replaces) the driver under a name, compared without case.
void register_table_driver(const std::string& name, std::shared_ptr<TableDriver> driver);
// The driver of that name; null when none is registered.
std::shared_ptr<TableDriver> find_table_driver(const std::string& name);
// Forgets a driver (tests, program end).
void unregister_table_driver(const std::string& name);

// The default driver's name, upper case as registered ("" before any is set).
std::string default_table_driver();
void set_default_table_driver(const std::string& name);

}  // namespace tbl
