#include "lexer.h"

#include <cmath>
#include <cstdlib>

#include "dates.h"

namespace ace::expr {

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_alpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

Error syntax(int pos, std::string msg) { return Error{ErrorKind::Syntax, pos, std::move(msg)}; }

// "^yyyy-mm-dd" (separators -, / or .), blanks allowed around it.
int32_t parse_strict_date(std::string_view s) {
  size_t i = 0;
  auto skip_blanks = [&] { while (i < s.size() && s[i] == ' ') ++i; };
  auto number = [&](int max_digits, int* out) {
    int n = 0, v = 0;
    while (i < s.size() && is_digit(s[i]) && n < max_digits) v = v * 10 + (s[i++] - '0'), ++n;
    *out = v;
    return n > 0;
  };
  auto separator = [&] {
    if (i < s.size() && (s[i] == '-' || s[i] == '/' || s[i] == '.')) return ++i, true;
    return false;
  };
  int y, m, d;
  skip_blanks();
  if (i >= s.size() || s[i] != '^') return 0;
  ++i;
  if (!number(4, &y) || !separator() || !number(2, &m) || !separator() || !number(2, &d)) return 0;
  skip_blanks();
  return i == s.size() ? julian_from_ymd(y, m, d) : 0;
}

}  // namespace

bool Lexer::next(Token* t, Error* err) {
  while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r' || s_[i_] == '\n')) ++i_;
  *t = Token{};
  t->pos = static_cast<int>(i_);
  if (i_ >= s_.size()) return true;
  char c = s_[i_];

  if (is_digit(c) || (c == '.' && is_digit(peek(1)))) return lex_number(t, err);
  if (is_alpha(c)) {
    while (i_ < s_.size() && (is_alpha(s_[i_]) || is_digit(s_[i_]))) t->text.push_back(upper(s_[i_++]));
    t->kind = Tok::Ident;
    return true;
  }
  if (c == '"' || c == '\'') return lex_string(c, t, err);
  if (c == '[') return lex_string(']', t, err);
  if (c == '{') return lex_brace(t, err);
  if (c == '.') {
    if (lex_dotted(t)) return true;
    ++i_;
    t->kind = Tok::Dot;
    return true;
  }

  auto two = [&](char second) { return peek(1) == second; };
  Tok k;
  size_t len = 1;
  switch (c) {
    case '(': k = Tok::LParen; break;
    case ')': k = Tok::RParen; break;
    case ',': k = Tok::Comma; break;
    case '}': k = Tok::RBrace; break;
    case '|': k = Tok::Pipe; break;
    case '+': k = Tok::Plus; break;
    case '-': if (two('>')) k = Tok::Arrow, len = 2; else k = Tok::Minus; break;
    case '*': if (two('*')) k = Tok::Power, len = 2; else k = Tok::Star; break;
    case '/': k = Tok::Slash; break;
    case '%': k = Tok::Percent; break;
    case '^': k = Tok::Power; break;
    case '=': if (two('=')) k = Tok::ExactEq, len = 2; else k = Tok::Eq; break;
    case '!': if (two('=')) k = Tok::Ne, len = 2; else k = Tok::Not; break;
    case '#': k = Tok::Ne; break;
    case '<':
      if (two('>')) k = Tok::Ne, len = 2;
      else if (two('=')) k = Tok::Le, len = 2;
      else k = Tok::Lt;
      break;
    case '>': if (two('=')) k = Tok::Ge, len = 2; else k = Tok::Gt; break;
    case '$': k = Tok::Dollar; break;
    default:
      *err = syntax(t->pos, std::string("Unexpected character '") + c + "'");
      return false;
  }
  t->kind = k;
  i_ += len;
  return true;
}

bool Lexer::lex_number(Token* t, Error* err) {
  size_t start = i_;
  while (is_digit(peek())) ++i_;
  if (peek() == '.' && is_digit(peek(1))) {
    ++i_;
    while (is_digit(peek())) ++i_, ++t->decimals;
  }
  std::string digits(s_.substr(start, i_ - start));
  t->kind = Tok::Number;
  t->number = std::strtod(digits.c_str(), nullptr);
  if (!std::isfinite(t->number)) {
    *err = syntax(t->pos, "Number too large");
    return false;
  }
  return true;
}

bool Lexer::lex_string(char close, Token* t, Error* err) {
  size_t start = ++i_;
  while (i_ < s_.size() && s_[i_] != close) ++i_;
  if (i_ >= s_.size()) {
    *err = syntax(t->pos, "Unterminated string");
    return false;
  }
  t->kind = Tok::String;
  t->text.assign(s_.substr(start, i_ - start));
  ++i_;
  return true;
}

// "{" opens a date literal, or a code block when a "|" follows.
bool Lexer::lex_brace(Token* t, Error* err) {
  size_t j = i_ + 1;
  while (j < s_.size() && s_[j] == ' ') ++j;
  if (j < s_.size() && s_[j] == '|') {
    ++i_;
    t->kind = Tok::LBrace;
    return true;
  }
  size_t close = s_.find('}', i_);
  if (close == std::string_view::npos) {
    *err = syntax(t->pos, "Unterminated date");
    return false;
  }
  std::string_view inside = s_.substr(i_ + 1, close - i_ - 1);
  i_ = close + 1;
  if (j < close && s_[j] == '^') {
    t->kind = Tok::StrictDate;
    t->julian = parse_strict_date(inside);
    if (!t->julian) {
      *err = syntax(t->pos, "Invalid date");
      return false;
    }
    return true;
  }
  t->kind = Tok::LooseDate;
  t->text.assign(inside);
  return true;
}

// .T. .F. .Y. .N. .AND. .OR. .NOT., in any case.
bool Lexer::lex_dotted(Token* t) {
  size_t j = i_ + 1;
  std::string word;
  while (j < s_.size() && is_alpha(s_[j]) && word.size() < 4) word.push_back(upper(s_[j++]));
  if (j >= s_.size() || s_[j] != '.') return false;
  Tok k;
  if (word == "T" || word == "Y") k = Tok::True;
  else if (word == "F" || word == "N") k = Tok::False;
  else if (word == "AND") k = Tok::And;
  else if (word == "OR") k = Tok::Or;
  else if (word == "NOT") k = Tok::Not;
  else return false;
  t->kind = k;
  i_ = j + 1;
  return true;
}

}  // namespace ace::expr
