// Text to typed nodes: precedence, names, and the static type of every node.
#pragma once

#include <string_view>

#include "eval_settings.h"
#include "expr_error.h"
#include "lexer.h"
#include "program.h"

namespace ace::expr {

class Parser {
 public:
  // syntax_only: any name is a field of unknown type and static types are not
  // checked, so only malformed text and unknown functions fail; the program
  // built then is a tree's shape, never to be evaluated.
  Parser(std::string_view text, const Schema& schema, const EvalSettings& settings, Program* out,
         bool syntax_only = false);
  // Fills the program from an expression (as_block: a code block's text).
  bool parse(bool as_block, Error* err);

 private:
  // Each returns the index of the node built, or -1 with err_ set.
  int expression();
  int or_expr();
  int and_expr();
  int not_expr();
  int comparison();
  int additive();
  int multiplicative();
  int power();
  int unary();
  int primary();
  int name(Token ident);
  int call(const Token& ident);
  int field(std::string_view qualifier, const Token& name);

  int add_node(Node n, std::initializer_list<int> args);
  int add_node_list(Node n, const std::vector<int>& args);
  int add_const(Value v, int pos);
  int binary(const Token& op, int lhs, int rhs);
  int type_function(Op op, int pos, const std::vector<int>& args);

  bool advance();
  bool accept(Tok k);
  bool expect(Tok k, const char* what);
  int fail(ErrorKind kind, int pos, std::string msg);
  // A static type fault: true when it stops the compile (never in syntax_only).
  bool type_fault(int pos, std::string msg);

  const Node& node(int i) const { return out_->nodes_[static_cast<size_t>(i)]; }
  bool is_const(int i) const { return node(i).op == Op::Const; }
  const Value& const_value(int i) const { return out_->slots_[static_cast<size_t>(i)]; }

  Lexer lex_;
  const Schema& schema_;
  const EvalSettings& settings_;
  Program* out_;
  const bool syntax_only_;
  Token tok_;
  Error err_;
  std::vector<int> depth_;  // tree depth of each node
  int nesting_ = 0;
};

}  // namespace ace::expr
