// Work areas: numbered from 1, each holding at most one table under an alias; one
// of them is current and the table operations act on it.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "table_driver.h"
#include "value.h"

namespace tbl {

struct WorkArea {
  std::unique_ptr<Table> table;  // null: the area is free
  std::string alias;             // upper case
  std::shared_ptr<TableDriver> driver;
  OrderCondition next_order_condition;
};

class Workspace {
 public:
  int current() const { return current_; }
  void select(int area) { current_ = area; }
  // The area of that number, created empty on first use.
  WorkArea& area(int number) { return areas_[number]; }
  WorkArea& current_area() { return areas_[current_]; }
  int lowest_free() const;
  // The area holding a table under that alias (without case); 0 when none.
  int find_alias(const std::string& alias) const;
  // Closes the area's table; the area stays, free.
  void close(int number);
  void close_all();
  // "n ALIAS" for each area holding a table, one a line, for the error report.
  std::string describe() const;

 private:
  std::map<int, WorkArea> areas_;
  int current_ = 1;
};

// The program's work areas.
Workspace& workspace();

// Makes the area named by an alias (a name, or a number from 1) current until the
// scope ends. An alias that names no area raises "Alias does not exist"; ok() is
// then false and the current area is left alone.
class AreaScope {
 public:
  explicit AreaScope(const Value& alias);
  ~AreaScope();
  AreaScope(const AreaScope&) = delete;
  AreaScope& operator=(const AreaScope&) = delete;
  bool ok() const { return ok_; }

 private:
  int previous_;
  bool ok_ = false;
};

// The area number an alias names, or 0 (nothing raised).
int area_of_alias(const Value& alias);
// The same, raising "Alias does not exist" when it is 0.
int area_of_alias_or_raise(const Value& alias);

}  // namespace tbl
