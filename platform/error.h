// The error object of the system and the one way errors are raised.
//
// Every fault that no routine handles is described by an Error and handed to
// raise_error(), which passes it to the installed handler (the application's
// error handler in the program, a recording handler in tests). The handler
// answers Retry or Default, or ends the process and never returns.
#pragma once

#include <functional>
#include <string>

namespace plat {

// Generic codes that the handler treats specially (see error_system.h).
enum GenCode : int {
  EG_ARG = 1,          // "Argument error"
  EG_BOUND = 2,
  EG_STROVERFLOW = 3,
  EG_NUMOVERFLOW = 4,
  EG_ZERODIV = 5,      // "Zero divisor": the operation yields 0, nothing shown
  EG_NUMERR = 6,
  EG_SYNTAX = 7,       // "Syntax error"
  EG_COMPLEXITY = 8,
  EG_MEM = 11,
  EG_NOFUNC = 12,
  EG_NOMETHOD = 13,
  EG_NOVAR = 14,
  EG_NOALIAS = 15,     // "Alias does not exist"
  EG_NOVARMETHOD = 16,
  EG_BADALIAS = 17,
  EG_DUPALIAS = 18,    // "Alias already in use"
  EG_CREATE = 20,
  EG_OPEN = 21,        // "Open error": quiet with OS code 32 or 5 when a default is allowed
  EG_CLOSE = 22,
  EG_READ = 23,
  EG_WRITE = 24,
  EG_PRINT = 25,
  EG_UNSUPPORTED = 30,
  EG_LIMIT = 31,
  EG_CORRUPTION = 32,
  EG_DATATYPE = 33,    // "Data type error"
  EG_DATAWIDTH = 34,
  EG_NOTABLE = 35,     // "Workarea not in use"
  EG_NOORDER = 36,
  EG_SHARED = 37,
  EG_UNLOCKED = 38,
  EG_READONLY = 39,
  EG_APPENDLOCK = 40,  // "Append lock failed": quiet when a default is allowed
  EG_LOCK = 41,
};

enum class Severity : int { Warning = 1, Error = 2, Catastrophic = 3 };

struct Error {
  int gen_code = 0;
  std::string subsystem;      // e.g. "BASE", "ADSCDX", "GUI"
  int sub_code = 0;
  std::string description;    // empty: the generic code's own description is used
  Severity severity = Severity::Error;
  int os_code = 0;            // 0 when none
  std::string file_name;      // the file concerned, when there is one
  std::string operation;      // the operation text, when there is one
  bool can_retry = false;
  bool can_default = false;
};

// The fixed description of a generic code ("" for codes without one).
const char* generic_description(int gen_code);

// The description shown for an error: its own, else its generic code's.
std::string error_description(const Error& e);

// "SUBSYSTEM/subcode  Description: file-or-operation", the one-line message used by
// the error report and the error window.
std::string error_message(const Error& e);

enum class ErrorAnswer { Retry, Default };

using ErrorHandler = std::function<ErrorAnswer(const Error&)>;

// Installs the handler that receives every raised error; returns the previous one.
ErrorHandler set_error_handler(ErrorHandler handler);

// Hands the error to the installed handler. Without a handler the error is fatal:
// it is written to standard error and the process ends with exit code 1.
ErrorAnswer raise_error(const Error& e);

}  // namespace plat
