#include "csv_writer.h"

namespace dbfcheck {

std::string csv_field(const std::string& value) {
  if (value.find_first_of(",\"\r\n") == std::string::npos) return value;
  std::string q = "\"";
  for (char c : value) {
    if (c == '"') q.push_back('"');
    q.push_back(c);
  }
  q.push_back('"');
  return q;
}

void write_csv_row(std::ostream& out, const std::vector<std::string>& fields) {
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) out << ',';
    out << csv_field(fields[i]);
  }
  out << "\r\n";
}

}  // namespace dbfcheck
