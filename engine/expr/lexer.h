// Cuts expression text into tokens.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "expr_error.h"

namespace ace::expr {

enum class Tok {
  End, Number, String, StrictDate, LooseDate, Ident,
  LParen, RParen, Comma, LBrace, RBrace, Pipe, Arrow, Dot,
  Plus, Minus, Star, Slash, Percent, Power,
  Eq, ExactEq, Ne, Lt, Le, Gt, Ge, Dollar,
  Not, And, Or, True, False,
};

struct Token {
  Tok kind = Tok::End;
  int pos = 0;
  std::string text;      // String: contents; Ident: upper case; LooseDate: inside the braces
  double number = 0.0;
  int decimals = 0;      // Number: places written
  int32_t julian = 0;    // StrictDate
};

class Lexer {
 public:
  explicit Lexer(std::string_view text) : s_(text) {}
  // The next token; false with *err set on a malformed one.
  bool next(Token* out, Error* err);

 private:
  bool lex_number(Token* t, Error* err);
  bool lex_string(char close, Token* t, Error* err);
  bool lex_brace(Token* t, Error* err);
  bool lex_dotted(Token* t);
  char peek(size_t ahead = 0) const { return i_ + ahead < s_.size() ? s_[i_ + ahead] : '\0'; }

  std::string_view s_;
  size_t i_ = 0;
};

}  // namespace ace::expr
