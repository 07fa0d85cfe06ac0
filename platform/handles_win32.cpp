#include "handles.h"

#include <windows.h>

namespace plat {

int SETHANDLECOUNT(int count) { return static_cast<int>(SetHandleCount(static_cast<UINT>(count))); }

}  // namespace plat
