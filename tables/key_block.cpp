#include "key_block.h"

#include <cctype>
#include <utility>

#include "platform/error.h"

namespace tbl {
namespace {

// A recogniser of the expression language's syntax: literals, fields with an
// optional alias, function calls, unary and binary operators, parentheses.
class SyntaxCheck {
 public:
  explicit SyntaxCheck(const std::string& s) : s_(s) {}

  bool run() {
    skip_blanks();
    if (at_end()) return false;
    return expression() && (skip_blanks(), at_end());
  }

 private:
  bool expression() { return binary(0); }

  // Levels, loosest first: .OR., .AND., comparisons, + -, * / %, power.
  bool binary(int level) {
    if (level == 5) return unary();
    if (!binary(level + 1)) return false;
    while (binary_operator(level))
      if (!binary(level + 1)) return false;
    return true;
  }

  bool binary_operator(int level) {
    skip_blanks();
    switch (level) {
      case 0: return word(".OR.");
      case 1: return word(".AND.");
      case 2:
        return take("==") || take("!=") || take("<>") || take("<=") || take(">=") || take("=") ||
               take("#") || take("<") || take(">") || take("$");
      case 3: return take("+") || take("-");
      case 4: return (!peek("**") && take("*")) || take("/") || take("%") || take("**") || take("^");
    }
    return false;
  }

  bool unary() {
    skip_blanks();
    if (word(".NOT.") || take("!") || take("-") || take("+")) return unary();
    return primary();
  }

  bool primary() {
    skip_blanks();
    if (at_end()) return false;
    const char c = s_[i_];
    if (take("(")) return expression() && (skip_blanks(), take(")"));
    if (c == '"' || c == '\'') return quoted(c);
    if (c == '[') return quoted(']');
    if (word(".T.") || word(".F.") || word(".Y.") || word(".N.")) return true;
    if (std::isdigit(static_cast<unsigned char>(c)) || (c == '.' && i_ + 1 < s_.size() &&
                                                        std::isdigit(static_cast<unsigned char>(s_[i_ + 1]))))
      return number();
    if (!identifier()) return false;
    skip_blanks();
    if (take("->")) return (skip_blanks(), identifier());
    if (take("(")) return arguments();
    return true;
  }

  bool arguments() {
    skip_blanks();
    if (take(")")) return true;
    do {
      skip_blanks();
      if (peek(",") || peek(")")) continue;  // an omitted argument
      if (!expression()) return false;
      skip_blanks();
    } while (take(","));
    return take(")");
  }

  bool quoted(char close) {
    const auto end = s_.find(close, i_ + 1);
    if (end == std::string::npos) return false;
    i_ = end + 1;
    return true;
  }

  bool number() {
    while (!at_end() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
    if (!at_end() && s_[i_] == '.') {
      ++i_;
      while (!at_end() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
    }
    return true;
  }

  bool identifier() {
    if (at_end() || !(std::isalpha(static_cast<unsigned char>(s_[i_])) || s_[i_] == '_')) return false;
    while (!at_end() && (std::isalnum(static_cast<unsigned char>(s_[i_])) || s_[i_] == '_')) ++i_;
    return true;
  }

  bool peek(const char* t) const { return s_.compare(i_, std::char_traits<char>::length(t), t) == 0; }
  bool take(const char* t) {
    if (!peek(t)) return false;
    i_ += std::char_traits<char>::length(t);
    return true;
  }
  // A dotted word such as .AND., in any case.
  bool word(const char* w) {
    const size_t n = std::char_traits<char>::length(w);
    if (i_ + n > s_.size()) return false;
    for (size_t k = 0; k < n; ++k)
      if (std::toupper(static_cast<unsigned char>(s_[i_ + k])) != w[k]) return false;
    i_ += n;
    return true;
  }
  void skip_blanks() {
    while (!at_end() && (s_[i_] == ' ' || s_[i_] == '\t')) ++i_;
  }
  bool at_end() const { return i_ >= s_.size(); }

  const std::string& s_;
  size_t i_ = 0;
};

std::optional<KeyBlock> builtin_compiler(const std::string& block_text) {
  static const std::string head = "{ ||";
  if (block_text.compare(0, head.size(), head) != 0 || block_text.empty() || block_text.back() != '}')
    return std::nullopt;
  const std::string body = block_text.substr(head.size(), block_text.size() - head.size() - 1);
  if (!expression_syntax_ok(body)) return std::nullopt;
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

bool expression_syntax_ok(const std::string& expression) { return SyntaxCheck(expression).run(); }

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
