// DBFDBT: kept for programs that call it; it does nothing.
#pragma once

#include "value.h"

namespace tbl {

template <class... Ignored>
Value DBFDBT(const Ignored&...) {
  return Value();
}

}  // namespace tbl
