// Key blocks: index keys compiled at run time from the text "{ ||" + key + "}".
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "value.h"

namespace tbl {

struct KeyBlock {
  std::string source;                  // the block text, "{ ||CODIGO}"
  std::function<Value()> evaluate;     // empty when the compiler gives no evaluator
};

// Compiles "{ ||" + key + "}". A key that is not text raises "Argument error", a
// block that does not compile "Syntax error"; after either, nullopt.
std::optional<KeyBlock> compile_key_block(const Value& key);

// What turns block text into a block; nullopt when the text does not compile.
// The built-in compiler checks the block with the expression language's own parser,
// any name taken as a field and types unchecked, and gives no evaluator.
using BlockCompiler = std::function<std::optional<KeyBlock>(const std::string& block_text)>;
BlockCompiler set_block_compiler(BlockCompiler compiler);

// The same check of a bare expression (without the braces and bars).
bool expression_syntax_ok(const std::string& expression);

}  // namespace tbl
