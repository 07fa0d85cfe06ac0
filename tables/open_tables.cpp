#include "open_tables.h"

#include "workareas.h"

namespace tbl {

void close_all_tables() { workspace().close_all(); }

std::string describe_open_tables() { return workspace().describe(); }

}  // namespace tbl
