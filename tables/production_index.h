// The production-index step of LNETUSE: with ".MDX" indexes in force, a table
// whose production index is missing would not open, so its header flag is cleared.
#pragma once

#include <string>

namespace tbl {

// When INDEXEXT() is exactly ".MDX" and nothing named folder + base name + ".MDX"
// exists, writes 0 into byte 28 of folder + base name + ".dbf" through a shared
// read-write open. Folder and base name are CFILEPATH and CFILENOEXT of the name.
// Only the table being opened is written: when folder + base name + ".dbf" names
// another file, nothing is. Nothing is reported; a file that cannot be opened is
// left alone.
void clear_missing_production_index(const std::string& table_file);

}  // namespace tbl
