// Table text to UTF-8 for the terminal and for CSV readers.
#pragma once

#include <string>

namespace dbfcheck {

// Code page 1252 bytes as UTF-8. The five bytes 1252 leaves undefined become the
// control characters of the same number, so nothing is lost.
std::string utf8_from_1252(const std::string& text);

// Text as stored in a table: code page 1252, or code page 850 when `oem` is set
// (converted to 1252 first, as the program does for its own display).
std::string utf8_from_table_text(const std::string& text, bool oem);

}  // namespace dbfcheck
