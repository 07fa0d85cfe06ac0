#include "net_routines.h"
#include "platform/message_box.h"
#include "platform/sys_refresh.h"
#include "retry_budget.h"
#include "segundos.h"
#include "table_operations.h"

namespace tbl {

bool LNETRECLOCK(std::optional<double> seconds) {
  const double given = seconds.value_or(1);
  if (RLOCK()) return true;
  RetryBudget budget(given);
  while (budget.left()) {
    if (RLOCK()) return true;
    // Keep the user interface alive while the other user finishes.
    plat::SYSREFRESH();
    SEGUNDOS(0.5);
    budget.spend(0.5);
  }
  plat::MSGALERT("El registro que se intenta procesar est\xE1 bloqueado", "Acceso denegado");
  return false;
}

}  // namespace tbl
