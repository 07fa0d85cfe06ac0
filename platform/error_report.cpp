#include "error_report.h"

namespace plat {

namespace {

void section(std::string& out, const char* title, const std::string& body) {
  out += "\r\n";
  out += title;
  out += "\r\n";
  out += std::string(std::char_traits<char>::length(title), '=') + "\r\n";
  out += body.empty() ? std::string("(none)\r\n") : body;
}

}  // namespace

std::string build_error_report(const Error& e, const ReportFacts& f) {
  std::string out = "Error occurred at: " + f.date + ", " + f.time + "\r\n";
  out += "Error description: " + error_message(e) + "\r\n";
  if (e.os_code != 0) out += "OS error code: " + std::to_string(e.os_code) + "\r\n";
  out += "Time since start: " + std::to_string(f.seconds_since_start) + " seconds\r\n";

  section(out, "Stack calls", f.call_stack);

  std::string program = "Module: " + f.module_path + "\r\n";
  for (size_t i = 0; i < f.arguments.size(); ++i)
    program += "Argument " + std::to_string(i + 1) + ": " + f.arguments[i] + "\r\n";
  section(out, "Program", program);
  section(out, "Machine", f.machine);
  section(out, "Variables", f.variables);
  section(out, "Drivers", f.drivers);
  section(out, "Open tables", f.open_tables);
  section(out, "Memory", f.memory);
  return out;
}

}  // namespace plat
