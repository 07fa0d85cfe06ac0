#include "handles.h"

namespace plat {

// Natively the limit is the process's own; nothing to ask for.
int SETHANDLECOUNT(int count) { return count; }

}  // namespace plat
