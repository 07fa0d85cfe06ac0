// TRANSFORM with simple pictures: "@!" and "@Z" functions, and templates of
// 9 # X A N ! digit and character positions, "." and "," in numbers; any other
// template character is copied as it stands.
#pragma once

#include <string>
#include <string_view>

#include "eval_settings.h"
#include "value.h"

namespace ace::expr {

void append_transform(const Value& v, std::string_view picture, const EvalSettings& settings,
                      std::string& out);

// Length of every result for a value type and a constant picture; value_width is
// the value's own width (text, or a numeric column) or -1. -1 when it varies.
int transform_width(Value::Type type, int value_width, std::string_view picture,
                    const EvalSettings& settings);

}  // namespace ace::expr
