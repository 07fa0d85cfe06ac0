// Why an expression did not compile or could not be evaluated.
#pragma once

#include <string>

namespace ace::expr {

enum class ErrorKind {
  None,
  Syntax,           // malformed text, or nested too deeply
  UnknownFunction,  // a name followed by "(" that the language does not know
  UnknownField,     // a name that is no column, or an alias that is not this area's
  Type,             // operands or arguments of the wrong type; a key of no fixed length
  Argument,         // at evaluation: an argument out of range, a result too long
};

struct Error {
  ErrorKind kind = ErrorKind::None;
  int position = 0;  // byte offset in the text compiled
  std::string message;

  bool ok() const { return kind == ErrorKind::None; }
};

const char* kind_name(ErrorKind k);

}  // namespace ace::expr
