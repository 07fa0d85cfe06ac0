#include "parser.h"

#include <algorithm>
#include <cmath>

#include "dates.h"
#include "functions.h"
#include "transform.h"

namespace ace::expr {

namespace {

// Guards against text that would recurse without end: nested parentheses, calls
// and prefix operators, and trees deeper than any real key needs.
constexpr int kMaxNesting = 100;
constexpr int kMaxTreeDepth = 256;
// Children of one node (a code block's list of expressions is the longest).
constexpr size_t kMaxArgs = 255;

using T = Value::Type;

bool is_text(T t) { return t == T::Character || t == T::Memo; }

// Operands that compare, combine or choose between each other.
bool same_kind(T a, T b) { return a == b || (is_text(a) && is_text(b)); }

const char* type_word(T t) {
  switch (t) {
    case T::Character: case T::Memo: return "character";
    case T::Numeric: return "numeric";
    case T::Date: return "date";
    case T::Logical: return "logical";
    default: return "NIL";
  }
}

// Width of a result that is one of two values. A number without a display width
// (0) shows as plain digits of any length, so it makes the width unknown.
int either_width(T type, int a, int b) {
  if (type == T::Numeric) return a > 0 && b > 0 ? std::max(a, b) : kUnknownWidth;
  return a < 0 || b < 0 ? kUnknownWidth : std::max(a, b);
}

int add_widths(int a, int b) {
  if (a < 0 || b < 0) return kUnknownWidth;
  long long s = static_cast<long long>(a) + b;
  return s > static_cast<long long>(kMaxStringLength) ? kUnknownWidth : static_cast<int>(s);
}

std::string upper_copy(std::string_view s) {
  std::string r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return r;
}

}  // namespace

Parser::Parser(std::string_view text, const Schema& schema, const EvalSettings& settings, Program* out,
               bool syntax_only)
    : lex_(text), schema_(schema), settings_(settings), out_(out), syntax_only_(syntax_only) {
  out_->text_.assign(text.data(), text.size());
}

int Parser::fail(ErrorKind kind, int pos, std::string msg) {
  if (err_.ok()) err_ = Error{kind, pos, std::move(msg)};
  return -1;
}

bool Parser::type_fault(int pos, std::string msg) {
  if (syntax_only_) return false;
  fail(ErrorKind::Type, pos, std::move(msg));
  return true;
}

bool Parser::advance() {
  Error e;
  if (lex_.next(&tok_, &e)) return true;
  if (err_.ok()) err_ = e;
  return false;
}

bool Parser::accept(Tok k) {
  if (tok_.kind != k) return false;
  return advance();
}

bool Parser::expect(Tok k, const char* what) {
  if (tok_.kind == k) return advance();
  fail(ErrorKind::Syntax, tok_.pos, std::string("Expected ") + what);
  return false;
}

bool Parser::parse(bool as_block, Error* err) {
  int root = -1;
  if (advance()) {
    if (!as_block) {
      root = expression();
    } else if (expect(Tok::LBrace, "\"{\"") && expect(Tok::Pipe, "\"|\"")) {
      if (tok_.kind != Tok::Pipe) {
        fail(ErrorKind::Syntax, tok_.pos, "Code block parameters are not supported");
      } else if (advance()) {
        std::vector<int> list;
        int pos = tok_.pos;
        do {
          int e = expression();
          if (e < 0) break;
          list.push_back(e);
        } while (accept(Tok::Comma));
        if (err_.ok() && expect(Tok::RBrace, "\"}\"")) {
          if (list.size() == 1) {
            root = list[0];
          } else {
            Node n;
            n.op = Op::Sequence;
            n.pos = pos;
            n.type = node(list.back()).type;
            n.width = node(list.back()).width;
            root = add_node_list(n, list);
          }
        }
      }
    }
  }
  if (root >= 0 && err_.ok() && tok_.kind != Tok::End)
    fail(ErrorKind::Syntax, tok_.pos, "Unexpected text after the expression");
  if (!err_.ok() || root < 0) {
    *err = err_.ok() ? Error{ErrorKind::Syntax, 0, "Empty expression"} : err_;
    return false;
  }
  out_->root_ = static_cast<uint32_t>(root);
  return true;
}

int Parser::add_node(Node n, std::initializer_list<int> args) {
  return add_node_list(n, std::vector<int>(args));
}

int Parser::add_node_list(Node n, const std::vector<int>& args) {
  int depth = 1;
  for (int a : args) depth = std::max(depth, depth_[static_cast<size_t>(a)] + 1);
  if (depth > kMaxTreeDepth || args.size() > kMaxArgs)
    return fail(ErrorKind::Syntax, n.pos, "Expression too complex");
  n.first_arg = static_cast<uint32_t>(out_->args_.size());
  n.nargs = static_cast<uint8_t>(args.size());
  for (int a : args) out_->args_.push_back(static_cast<uint32_t>(a));
  out_->nodes_.push_back(n);
  Value slot;
  slot.type = n.type == T::Memo ? T::Character : n.type;
  out_->slots_.push_back(std::move(slot));
  depth_.push_back(depth);
  return static_cast<int>(out_->nodes_.size() - 1);
}

int Parser::add_const(Value v, int pos) {
  Node n;
  n.op = Op::Const;
  n.type = v.type;
  n.pos = pos;
  n.width = v.is_text() ? static_cast<int>(v.str.size()) : v.width;
  n.decimals = v.decimals;
  int i = add_node(n, {});
  if (i >= 0) out_->slots_[static_cast<size_t>(i)] = std::move(v);
  return i;
}

int Parser::expression() {
  if (++nesting_ > kMaxNesting) return fail(ErrorKind::Syntax, tok_.pos, "Expression nested too deeply");
  int r = or_expr();
  --nesting_;
  return r;
}

int Parser::or_expr() {
  int lhs = and_expr();
  while (lhs >= 0 && tok_.kind == Tok::Or) {
    Token op = tok_;
    if (!advance()) return -1;
    int rhs = and_expr();
    if (rhs < 0) return -1;
    lhs = binary(op, lhs, rhs);
  }
  return lhs;
}

int Parser::and_expr() {
  int lhs = not_expr();
  while (lhs >= 0 && tok_.kind == Tok::And) {
    Token op = tok_;
    if (!advance()) return -1;
    int rhs = not_expr();
    if (rhs < 0) return -1;
    lhs = binary(op, lhs, rhs);
  }
  return lhs;
}

int Parser::not_expr() {
  if (tok_.kind != Tok::Not) return comparison();
  Token op = tok_;
  if (!advance()) return -1;
  if (++nesting_ > kMaxNesting) return fail(ErrorKind::Syntax, op.pos, "Expression nested too deeply");
  int operand = not_expr();
  --nesting_;
  if (operand < 0) return -1;
  if (node(operand).type != T::Logical && type_fault(op.pos, "Operand of .NOT. must be logical")) return -1;
  Node n;
  n.op = Op::Not;
  n.type = T::Logical;
  n.pos = op.pos;
  return add_node(n, {operand});
}

int Parser::comparison() {
  int lhs = additive();
  while (lhs >= 0) {
    switch (tok_.kind) {
      case Tok::Eq: case Tok::ExactEq: case Tok::Ne: case Tok::Lt: case Tok::Le:
      case Tok::Gt: case Tok::Ge: case Tok::Dollar: break;
      default: return lhs;
    }
    Token op = tok_;
    if (!advance()) return -1;
    int rhs = additive();
    if (rhs < 0) return -1;
    lhs = binary(op, lhs, rhs);
  }
  return lhs;
}

int Parser::additive() {
  int lhs = multiplicative();
  while (lhs >= 0 && (tok_.kind == Tok::Plus || tok_.kind == Tok::Minus)) {
    Token op = tok_;
    if (!advance()) return -1;
    int rhs = multiplicative();
    if (rhs < 0) return -1;
    lhs = binary(op, lhs, rhs);
  }
  return lhs;
}

int Parser::multiplicative() {
  int lhs = power();
  while (lhs >= 0 && (tok_.kind == Tok::Star || tok_.kind == Tok::Slash || tok_.kind == Tok::Percent)) {
    Token op = tok_;
    if (!advance()) return -1;
    int rhs = power();
    if (rhs < 0) return -1;
    lhs = binary(op, lhs, rhs);
  }
  return lhs;
}

int Parser::power() {
  int lhs = unary();
  while (lhs >= 0 && tok_.kind == Tok::Power) {
    Token op = tok_;
    if (!advance()) return -1;
    int rhs = unary();
    if (rhs < 0) return -1;
    lhs = binary(op, lhs, rhs);
  }
  return lhs;
}

int Parser::unary() {
  if (tok_.kind != Tok::Minus && tok_.kind != Tok::Plus) return primary();
  Token op = tok_;
  if (!advance()) return -1;
  if (++nesting_ > kMaxNesting) return fail(ErrorKind::Syntax, op.pos, "Expression nested too deeply");
  int operand = unary();
  --nesting_;
  if (operand < 0) return -1;
  if (node(operand).type != T::Numeric &&
      type_fault(op.pos, std::string("Operand of unary ") + (op.kind == Tok::Minus ? "-" : "+") + " must be numeric"))
    return -1;
  if (op.kind == Tok::Plus) return operand;
  if (is_const(operand)) {  // a negative literal stays a constant
    Value v = const_value(operand);
    v.num = -v.num;
    return add_const(std::move(v), op.pos);
  }
  Node n;
  n.op = Op::Neg;
  n.type = T::Numeric;
  n.pos = op.pos;
  n.width = node(operand).width;
  n.decimals = node(operand).decimals;
  return add_node(n, {operand});
}

int Parser::primary() {
  Token t = tok_;
  switch (t.kind) {
    case Tok::Number: {
      if (!advance()) return -1;
      return add_const(Value::numeric(t.number, 0, t.decimals), t.pos);
    }
    case Tok::String:
      if (!advance()) return -1;
      return add_const(Value::character(t.text), t.pos);
    case Tok::StrictDate:
      if (!advance()) return -1;
      return add_const(Value::date(t.julian), t.pos);
    case Tok::LooseDate: {
      if (!advance()) return -1;
      // {} and { / / } are the blank date; anything else is read through the
      // date format in force when evaluated, as CTOD would.
      if (t.text.find_first_of("0123456789") == std::string::npos) return add_const(Value::date(0), t.pos);
      int text = add_const(Value::character(t.text), t.pos);
      if (text < 0) return -1;
      Node n;
      n.op = Op::Ctod;
      n.type = T::Date;
      n.pos = t.pos;
      return add_node(n, {text});
    }
    case Tok::True:
    case Tok::False:
      if (!advance()) return -1;
      return add_const(Value::logical(t.kind == Tok::True), t.pos);
    case Tok::LParen: {
      if (!advance()) return -1;
      int e = expression();
      if (e < 0 || !expect(Tok::RParen, "\")\"")) return -1;
      return e;
    }
    case Tok::Ident:
      if (!advance()) return -1;
      return name(t);
    case Tok::End:
      return fail(ErrorKind::Syntax, t.pos, "Unexpected end of expression");
    default:
      return fail(ErrorKind::Syntax, t.pos, "Unexpected token");
  }
}

int Parser::name(Token ident) {
  if (tok_.kind == Tok::LParen) return call(ident);
  if (tok_.kind == Tok::Arrow || tok_.kind == Tok::Dot) {
    if (!advance()) return -1;
    Token fname = tok_;
    if (fname.kind != Tok::Ident) return fail(ErrorKind::Syntax, fname.pos, "Expected a field name");
    if (!advance()) return -1;
    return field(ident.text, fname);
  }
  if (ident.text == "NIL") return add_const(Value::nil(), ident.pos);
  return field({}, ident);
}

int Parser::field(std::string_view qualifier, const Token& fname) {
  if (syntax_only_) {
    Node n;
    n.op = Op::Field;
    n.pos = fname.pos;
    return add_node(n, {});  // no column, no type
  }
  if (!qualifier.empty() && qualifier != "FIELD" && qualifier != "_FIELD" &&
      qualifier != upper_copy(schema_.alias()))
    return fail(ErrorKind::UnknownField, fname.pos,
                "Alias " + std::string(qualifier) + " is not this table's");
  int idx = schema_.field_index(fname.text);
  // Column names are significant to ten characters, so a longer name written in
  // a key still finds its column.
  if (idx < 0 && fname.text.size() > 10) idx = schema_.field_index(std::string_view(fname.text).substr(0, 10));
  if (idx < 0) return fail(ErrorKind::UnknownField, fname.pos, "Unknown field " + fname.text);

  Node n;
  n.op = Op::Field;
  n.pos = fname.pos;
  n.field = idx;
  n.width = schema_.field_width(idx);
  n.decimals = schema_.field_decimals(idx);
  switch (schema_.field_type(idx)) {
    case FieldType::Character: case FieldType::Varchar: case FieldType::Varbinary:
      n.type = T::Character;
      break;
    case FieldType::Memo: case FieldType::General: case FieldType::Picture: case FieldType::Blob:
      n.type = T::Memo;
      n.width = kUnknownWidth;
      break;
    case FieldType::Date:
      n.type = T::Date;
      break;
    case FieldType::Logical:
      n.type = T::Logical;
      break;
    case FieldType::Integer:
      n.type = T::Numeric;
      n.integer_field = true;
      n.width = 11;  // as STR shows the largest
      break;
    default:
      n.type = T::Numeric;
      break;
  }
  return add_node(n, {});
}

int Parser::call(const Token& ident) {
  const FunctionInfo* f = find_function(ident.text);
  if (!f) return fail(ErrorKind::UnknownFunction, ident.pos, "Unknown function " + ident.text);
  if (!advance()) return -1;  // "("
  std::vector<int> args;
  if (tok_.kind != Tok::RParen) {
    do {
      int a = expression();
      if (a < 0) return -1;
      args.push_back(a);
    } while (accept(Tok::Comma));
  }
  if (!err_.ok() || !expect(Tok::RParen, "\")\"")) return -1;
  int n = static_cast<int>(args.size());
  if (n < f->min_args || n > f->max_args)
    return fail(ErrorKind::Syntax, ident.pos,
                std::string("Wrong number of arguments to ") + f->name);
  return type_function(f->op, ident.pos, args);
}

int Parser::binary(const Token& op, int lhs, int rhs) {
  T a = node(lhs).type, b = node(rhs).type;
  Node n;
  n.pos = op.pos;
  n.type = T::Numeric;
  int first = lhs, second = rhs;
  auto mismatch = [&](const char* sym) {
    if (type_fault(op.pos, std::string("Operands of ") + sym + " do not fit: " + type_word(a) + " and " +
                               type_word(b)))
      return -1;
    return add_node(n, {first, second});  // a syntax check keeps only the tree's shape
  };
  switch (op.kind) {
    case Tok::Plus:
      if (a == T::Numeric && b == T::Numeric) n.op = Op::Add;
      else if (is_text(a) && is_text(b)) {
        n.op = Op::Concat;
        n.type = T::Character;
        n.width = add_widths(node(lhs).width, node(rhs).width);
      } else if (a == T::Date && b == T::Numeric) {
        n.op = Op::DateAdd;
        n.type = T::Date;
      } else if (a == T::Numeric && b == T::Date) {
        n.op = Op::DateAdd;
        n.type = T::Date;
        std::swap(first, second);
      } else {
        return mismatch("+");
      }
      break;
    case Tok::Minus:
      if (a == T::Numeric && b == T::Numeric) n.op = Op::Sub;
      else if (is_text(a) && is_text(b)) {
        n.op = Op::ConcatMoveBlanks;
        n.type = T::Character;
        n.width = add_widths(node(lhs).width, node(rhs).width);
      } else if (a == T::Date && b == T::Numeric) {
        n.op = Op::DateSub;
        n.type = T::Date;
      } else if (a == T::Date && b == T::Date) {
        n.op = Op::DateDiff;
      } else {
        return mismatch("-");
      }
      break;
    case Tok::Star: case Tok::Slash: case Tok::Percent: case Tok::Power:
      if (a != T::Numeric || b != T::Numeric)
        return mismatch(op.kind == Tok::Star ? "*" : op.kind == Tok::Slash ? "/" : op.kind == Tok::Percent ? "%" : "^");
      n.op = op.kind == Tok::Star ? Op::Mul : op.kind == Tok::Slash ? Op::Div : op.kind == Tok::Percent ? Op::Mod : Op::Pow;
      break;
    case Tok::Eq: case Tok::ExactEq: case Tok::Ne:
    case Tok::Lt: case Tok::Le: case Tok::Gt: case Tok::Ge: {
      bool equality = op.kind == Tok::Eq || op.kind == Tok::ExactEq || op.kind == Tok::Ne;
      bool nil_test = equality && (a == T::Nil || b == T::Nil);
      if (!nil_test && (!same_kind(a, b) || a == T::Nil)) return mismatch("a comparison");
      n.type = T::Logical;
      n.op = op.kind == Tok::Eq ? Op::Eq : op.kind == Tok::ExactEq ? Op::ExactEq : op.kind == Tok::Ne ? Op::Ne
           : op.kind == Tok::Lt ? Op::Lt : op.kind == Tok::Le ? Op::Le : op.kind == Tok::Gt ? Op::Gt : Op::Ge;
      break;
    }
    case Tok::Dollar:
      if (!is_text(a) || !is_text(b)) return mismatch("$");
      n.op = Op::Contains;
      n.type = T::Logical;
      break;
    case Tok::And: case Tok::Or:
      if (a != T::Logical || b != T::Logical) return mismatch(op.kind == Tok::And ? ".AND." : ".OR.");
      n.op = op.kind == Tok::And ? Op::And : Op::Or;
      n.type = T::Logical;
      break;
    default:
      return fail(ErrorKind::Syntax, op.pos, "Unexpected operator");
  }
  return add_node(n, {first, second});
}

int Parser::type_function(Op op, int pos, const std::vector<int>& args) {
  auto arg_type = [&](size_t i) { return node(args[i]).type; };
  auto width = [&](size_t i) { return node(args[i]).width; };
  // A constant whole number among the arguments, or nothing.
  auto const_int = [&](size_t i, long* v) {
    if (i >= args.size() || !is_const(args[i])) return false;
    double d = const_value(args[i]).num;
    if (!(d > -1e9 && d < 1e9)) return false;
    *v = static_cast<long>(d);
    return true;
  };
  auto need = [&](size_t i, T want) -> bool {
    if (i >= args.size()) return true;
    T t = arg_type(i);
    if (want == T::Character ? is_text(t) : t == want) return true;
    return !type_fault(node(args[i]).pos,
                       std::string("Argument ") + std::to_string(i + 1) + " must be " + type_word(want));
  };

  Node n;
  n.op = op;
  n.pos = pos;
  const T C = T::Character, N = T::Numeric, D = T::Date, L = T::Logical;
  long k = 0;
  switch (op) {
    case Op::Upper: case Op::Lower: case Op::Rtrim: case Op::Ltrim: case Op::Alltrim:
      if (!need(0, C)) return -1;
      n.type = C;
      n.width = width(0);
      break;
    case Op::Str: case Op::Strzero:
      if (!need(0, N) || !need(1, N) || !need(2, N)) return -1;
      n.type = C;
      n.width = args.size() < 2 ? 10 : const_int(1, &k) ? static_cast<int>(std::max(0L, k)) : kUnknownWidth;
      break;
    case Op::Dtos:
      if (!need(0, D)) return -1;
      n.type = C;
      n.width = 8;
      break;
    case Op::Dtoc:
      if (!need(0, D) || !need(1, N)) return -1;
      n.type = C;
      if (args.size() < 2) n.width = dtoc_width(settings_.date_format);
      else n.width = const_int(1, &k) ? (k == 1 ? 8 : dtoc_width(settings_.date_format)) : kUnknownWidth;
      break;
    case Op::Ctod:
      if (!need(0, C)) return -1;
      n.type = D;
      break;
    case Op::Substr: {
      if (!need(0, C) || !need(1, N) || !need(2, N)) return -1;
      n.type = C;
      n.width = width(0);
      if (args.size() == 3) {
        if (const_int(2, &k)) {
          int len = static_cast<int>(std::max(0L, k));
          n.width = n.width < 0 ? len : std::min(len, n.width);
        }
      } else if (n.width > 0 && const_int(1, &k) && k > 1) {
        n.width = static_cast<int>(std::max(0L, n.width - k + 1));
      }
      break;
    }
    case Op::Left: case Op::Right:
      if (!need(0, C) || !need(1, N)) return -1;
      n.type = C;
      n.width = width(0);
      if (const_int(1, &k)) {
        int len = static_cast<int>(std::max(0L, k));
        n.width = n.width < 0 ? len : std::min(len, n.width);
      }
      break;
    case Op::Padr: case Op::Padl: case Op::Padc:
      if (!need(0, C) || !need(1, N) || !need(2, C)) return -1;
      n.type = C;
      n.width = const_int(1, &k) ? static_cast<int>(std::max(0L, k)) : kUnknownWidth;
      break;
    case Op::Val:
      if (!need(0, C)) return -1;
      n.type = N;
      break;
    case Op::Iif: {
      if (!need(0, L)) return -1;
      T a = arg_type(1), b = arg_type(2);
      if (!same_kind(a, b) && type_fault(pos, std::string("IIF() gives ") + type_word(a) + " or " + type_word(b)))
        return -1;
      n.type = is_text(a) ? C : a;
      n.width = either_width(n.type, width(1), width(2));
      n.decimals = std::max(node(args[1]).decimals, node(args[2]).decimals);
      break;
    }
    case Op::Year: case Op::Month: case Op::Day:
      if (!need(0, D)) return -1;
      n.type = N;
      break;
    case Op::Transform: {
      if (!need(1, C)) return -1;
      T t = arg_type(0);
      if (t == T::Nil && type_fault(node(args[0]).pos, "TRANSFORM() of NIL")) return -1;
      n.type = C;
      if (args.size() == 1) n.width = transform_width(t, width(0), "", settings_);
      else if (is_const(args[1])) n.width = transform_width(t, width(0), const_value(args[1]).str, settings_);
      else n.width = kUnknownWidth;
      break;
    }
    case Op::Empty:
      n.type = L;
      break;
    case Op::Len: case Op::Asc:
      if (!need(0, C)) return -1;
      n.type = N;
      break;
    case Op::Space:
      if (!need(0, N)) return -1;
      n.type = C;
      n.width = const_int(0, &k) ? static_cast<int>(std::max(0L, k)) : kUnknownWidth;
      break;
    case Op::Replicate:
      if (!need(0, C) || !need(1, N)) return -1;
      n.type = C;
      n.width = kUnknownWidth;
      if (width(0) >= 0 && const_int(1, &k)) {
        long long w = static_cast<long long>(width(0)) * std::max(0L, k);
        if (w <= static_cast<long long>(kMaxStringLength)) n.width = static_cast<int>(w);
      }
      break;
    case Op::Abs: case Op::Int:
      if (!need(0, N)) return -1;
      n.type = N;
      break;
    case Op::Round:
      if (!need(0, N) || !need(1, N)) return -1;
      n.type = N;
      break;
    case Op::Max: case Op::Min: {
      T a = arg_type(0), b = arg_type(1);
      if ((!same_kind(a, b) || a == T::Nil || a == T::Logical) &&
          type_fault(pos, "MAX() and MIN() compare numbers, dates or texts"))
        return -1;
      n.type = is_text(a) ? C : a;
      n.width = either_width(n.type, width(0), width(1));
      break;
    }
    case Op::Chr:
      if (!need(0, N)) return -1;
      n.type = C;
      n.width = 1;
      break;
    case Op::At:
      if (!need(0, C) || !need(1, C) || !need(2, N)) return -1;
      n.type = N;
      break;
    case Op::Stuff:
      if (!need(0, C) || !need(1, N) || !need(2, N) || !need(3, C)) return -1;
      n.type = C;
      n.width = add_widths(width(0), width(3));
      break;
    case Op::Deleted:
      n.type = L;
      break;
    case Op::Recno:
      n.type = N;
      break;
    case Op::Today:
      n.type = D;
      break;
    case Op::Time:
      n.type = C;
      n.width = 8;
      break;
    default:
      return fail(ErrorKind::UnknownFunction, pos, "Unknown function");
  }
  return add_node_list(n, args);
}

}  // namespace ace::expr
