// The functions the language knows, by name.
#pragma once

#include <string_view>

#include "node.h"

namespace ace::expr {

struct FunctionInfo {
  const char* name;
  Op op;
  int min_args;
  int max_args;
};

// Looks a name up as written in full, or by its first four letters or more when
// they name one function only (SUBS for SUBSTR). Null when unknown.
const FunctionInfo* find_function(std::string_view upper_name);

}  // namespace ace::expr
