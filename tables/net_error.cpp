#include "net_error.h"

namespace tbl {
namespace {
bool g_neterr = false;
}

bool NETERR() { return g_neterr; }
void set_neterr(bool value) { g_neterr = value; }

}  // namespace tbl
