#include "driver_catalog.h"
#include "net_error.h"
#include "net_routines.h"
#include "platform/message_box.h"
#include "production_index.h"
#include "retry_budget.h"
#include "segundos.h"
#include "table_operations.h"

namespace tbl {

bool LNETUSE(const std::string& file, std::optional<bool> exclusive, std::optional<double> attempts,
             const std::optional<std::string>& alias, std::optional<bool> tell, const Value& /*ignored*/,
             std::optional<bool> new_area) {
  RetryBudget budget(attempts.value_or(1));
  clear_missing_production_index(file);
  while (budget.left()) {
    // Shared unless asked otherwise, whatever a program-wide setting says; never
    // read-only.
    DBUSEAREA(new_area.value_or(true), default_table_driver(), file, alias, !exclusive.value_or(false),
              false);
    if (!NETERR()) return true;
    SEGUNDOS(1);
    budget.spend(1);
  }
  if (tell.value_or(true)) plat::MSGALERT("Fichero(s) bloqueado(s). Acceso Denegado", "Atenci\xF3n");
  return false;
}

}  // namespace tbl
