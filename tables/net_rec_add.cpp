#include "net_error.h"
#include "net_routines.h"
#include "retry_budget.h"
#include "segundos.h"
#include "table_operations.h"

namespace tbl {
namespace {

// An append followed by a lock request on the new record; the lock's outcome
// does not decide the attempt.
bool append_attempt() {
  DBAPPEND();
  RLOCK();
  return !NETERR();
}

}  // namespace

bool LNETRECADD(std::optional<double> seconds) {
  const double given = seconds.value_or(1);
  if (append_attempt()) return true;
  RetryBudget budget(given);
  while (budget.left()) {
    if (append_attempt()) return true;
    SEGUNDOS(0.5);
    budget.spend(0.5);
  }
  return false;
}

}  // namespace tbl
