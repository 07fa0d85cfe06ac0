#include "key_block.h"

#include <utility>

#include "expr/expr.h"
#include "platform/error.h"

namespace tbl {
namespace {

// No table is at hand when the block is compiled, so only what no table could
// mend is refused: malformed text and functions the language lacks.
std::optional<KeyBlock> builtin_compiler(const std::string& block_text) {
  if (!ace::expr::check_block_syntax(block_text, nullptr)) return std::nullopt;
  return KeyBlock{block_text, {}};
}

BlockCompiler& compiler() {
  static BlockCompiler c = builtin_compiler;
  return c;
}

void raise(int gen_code, const char* description, const std::string& operation) {
  plat::Error e;
  e.gen_code = gen_code;
  e.subsystem = "BASE";
  e.description = description;
  e.operation = operation;
  plat::raise_error(e);
}

}  // namespace

bool expression_syntax_ok(const std::string& expression) {
  return ace::expr::check_syntax(expression, nullptr);
}

BlockCompiler set_block_compiler(BlockCompiler c) {
  if (!c) c = builtin_compiler;
  return std::exchange(compiler(), std::move(c));
}

std::optional<KeyBlock> compile_key_block(const Value& key) {
  if (VALTYPE(key) != "C" && VALTYPE(key) != "M") {
    // Joining the key to the block text fails before anything is compiled.
    raise(plat::EG_ARG, "Argument error", "+");
    return std::nullopt;
  }
  const std::string text = "{ ||" + key.text() + "}";
  auto block = compiler()(text);
  if (!block) raise(plat::EG_SYNTAX, "Syntax error", text);
  return block;
}

}  // namespace tbl
