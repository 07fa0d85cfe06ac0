// Rows of CSV as RFC 4180 has them: CRLF after every row, a field quoted when it
// holds a comma, a quote, CR or LF, and quotes inside doubled.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace dbfcheck {

std::string csv_field(const std::string& value);
void write_csv_row(std::ostream& out, const std::vector<std::string>& fields);

}  // namespace dbfcheck
