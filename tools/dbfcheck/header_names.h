// Readable names for the coded bytes of a table header.
#pragma once

#include <cstdint>
#include <string>

namespace dbfcheck {

// The writer family a version byte stands for; "unknown" for others.
const char* version_name(uint8_t version);
// The code page a code-page mark stands for; "none" for 0, "unknown" for others.
const char* codepage_name(uint8_t mark);
// The flags of byte 28 spelled out, e.g. "structural index, memo"; "none" for 0.
// `dbase4` reads bit 0 as a production MDX instead.
std::string table_flags_text(uint8_t flags, bool dbase4);

}  // namespace dbfcheck
