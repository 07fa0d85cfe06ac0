#include "error.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace plat {

const char* generic_description(int gen_code) {
  switch (gen_code) {
    case EG_ARG: return "Argument error";
    case EG_BOUND: return "Bound error";
    case EG_STROVERFLOW: return "String overflow";
    case EG_NUMOVERFLOW: return "Numeric overflow";
    case EG_ZERODIV: return "Zero divisor";
    case EG_NUMERR: return "Numeric error";
    case EG_SYNTAX: return "Syntax error";
    case EG_COMPLEXITY: return "Operation too complex";
    case EG_MEM: return "Memory low";
    case EG_NOFUNC: return "Undefined function";
    case EG_NOMETHOD: return "No exported method";
    case EG_NOVAR: return "Variable does not exist";
    case EG_NOALIAS: return "Alias does not exist";
    case EG_NOVARMETHOD: return "No exported variable";
    case EG_BADALIAS: return "Illegal characters in alias";
    case EG_DUPALIAS: return "Alias already in use";
    case EG_CREATE: return "Create error";
    case EG_OPEN: return "Open error";
    case EG_CLOSE: return "Close error";
    case EG_READ: return "Read error";
    case EG_WRITE: return "Write error";
    case EG_PRINT: return "Print error";
    case EG_UNSUPPORTED: return "Operation not supported";
    case EG_LIMIT: return "Limit exceeded";
    case EG_CORRUPTION: return "Corruption detected";
    case EG_DATATYPE: return "Data type error";
    case EG_DATAWIDTH: return "Data width error";
    case EG_NOTABLE: return "Workarea not in use";
    case EG_NOORDER: return "Workarea not indexed";
    case EG_SHARED: return "Exclusive required";
    case EG_UNLOCKED: return "Lock required";
    case EG_READONLY: return "Write not allowed";
    case EG_APPENDLOCK: return "Append lock failed";
    case EG_LOCK: return "Lock failure";
    default: return "";
  }
}

std::string error_description(const Error& e) {
  return e.description.empty() ? std::string(generic_description(e.gen_code)) : e.description;
}

std::string error_message(const Error& e) {
  std::string m = e.subsystem.empty() ? std::string("?") : e.subsystem;
  m += "/" + std::to_string(e.sub_code) + "  " + error_description(e);
  const std::string& detail = !e.file_name.empty() ? e.file_name : e.operation;
  if (!detail.empty()) m += ": " + detail;
  return m;
}

namespace {
ErrorHandler& installed_handler() {
  static ErrorHandler h;
  return h;
}
}  // namespace

ErrorHandler set_error_handler(ErrorHandler handler) {
  return std::exchange(installed_handler(), std::move(handler));
}

ErrorAnswer raise_error(const Error& e) {
  // Copy first: a handler may replace itself while it runs.
  ErrorHandler h = installed_handler();
  if (h) return h(e);
  std::fprintf(stderr, "Unhandled error: %s\n", error_message(e).c_str());
  std::exit(1);
}

}  // namespace plat
