// Standard output as the tool needs it: bytes out as written, so CSV line ends
// stay CRLF and UTF-8 passes unchanged.
#pragma once

namespace dbfcheck {

void prepare_console();

}  // namespace dbfcheck
