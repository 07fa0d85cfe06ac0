#include "console.h"

#include <fcntl.h>
#include <io.h>
#include <cstdio>

namespace dbfcheck {

// Text mode would turn every LF into CRLF, doubling the CR of CSV line ends.
void prepare_console() {
  _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace dbfcheck
