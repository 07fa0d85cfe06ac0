// Checks the orders of a table against its records: every page of every bag
// sound, every entry's key equal to its expression on its record, every record
// that satisfies the FOR condition there once (for a unique tag, the first record
// of each key), and no entry for a record the table does not have.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "status.h"

namespace ace::order {

class TableOrders;

struct VerifyProblem {
  std::string file;     // the bag
  std::string tag;      // empty for the bag as a whole
  uint32_t recno = 0;   // the record concerned, 0 when none
  uint32_t page = 0;    // the page concerned (file offset), 0 when none
  std::string text;
};

// Problems found go to *problems (empty when every order verifies); a Status
// failure means the check itself could not run (a read failed, a lock was held).
// On a shared table the check holds the header lock throughout, which keeps
// every writer of the bags out.
Status verify_orders(TableOrders& orders, std::vector<VerifyProblem>* problems);

// One line: "<bag> tag NAME: record 12: ...", "... page 0x1200: ...".
std::string describe(const VerifyProblem& p);

}  // namespace ace::order
