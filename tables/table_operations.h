// The table engine's operations, acting on the current work area. Faults go to the
// application's error handler as error objects; what a handler's Default answer
// leaves is told with each operation.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "key_block.h"
#include "value.h"

namespace tbl {

// Opens a table. Clears the network-error indicator. With new_area the lowest free
// area becomes current, else the current area's table is closed first. Without an
// alias the file's name (no folder, no extension) is used; an empty driver name
// means the default driver. A failed open leaves the area free and sets the
// indicator.
void DBUSEAREA(bool new_area, const std::string& driver, const std::string& file,
               const std::optional<std::string>& alias, bool shared, bool read_only);
void DBCLOSEAREA();
// Makes an area current: a number from 1, or an alias; 0 selects the lowest free one.
void DBSELECTAREA(const Value& area);
int SELECT();

// Releases the area's record locks and locks the current record.
bool RLOCK();
// Clears the indicator and adds a blank record at the end as the current one; a
// failed append sets the indicator.
void DBAPPEND();

uint32_t RECNO();     // 0 without a table
int INDEXORD();       // 0 without a table
void DBSETORDER(int order);
void DBGOTO(uint32_t record);
void DBGOTOP();
void DBGOBOTTOM();
void DBSKIP(long count = 1);
std::string ALIAS();  // "" without a table
// Index extension of the area's driver, or of the default driver.
std::string INDEXEXT();

// Eleven values; only the seventh (the start record) is kept, and it narrows
// nothing: every record is indexed, without filter, ascending, not additive.
void ORDCONDSET(const std::vector<Value>& values);
void ORDCREATE(const std::optional<std::string>& bag, const std::optional<std::string>& tag,
               const std::string& key, const KeyBlock& block, std::optional<bool> unique);
void DBCREATEINDEX(const std::string& file, const std::string& key, const KeyBlock& block,
                   std::optional<bool> unique);
void DBCLEARINDEX();

int FCOUNT();              // 0 without a table
Value FIELDGET(int field); // nil outside 1 to FCOUNT()
// Stores a value; a field number outside 1 to FCOUNT() stores nothing and reports
// nothing.
void FIELDPUT(int field, const Value& value);

// The program-wide unique setting that ORDCREATE uses when given no flag.
bool unique_setting();
void set_unique_setting(bool on);

}  // namespace tbl
