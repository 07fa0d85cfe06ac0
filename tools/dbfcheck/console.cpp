#include "console.h"

namespace dbfcheck {

// POSIX streams carry bytes unchanged already.
void prepare_console() {}

}  // namespace dbfcheck
