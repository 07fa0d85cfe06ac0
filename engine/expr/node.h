// The compiled form of an expression: a flat array of typed nodes, children
// before parents, each with a result slot of its own.
#pragma once

#include <cstdint>
#include <vector>

#include "value.h"

namespace ace::expr {

enum class Op : uint8_t {
  // leaves
  Const, Field, Recno, Deleted, Today, Time,
  // operators
  Neg, Not, And, Or, Add, Sub, Mul, Div, Mod, Pow,
  Concat, ConcatMoveBlanks, DateAdd, DateSub, DateDiff,
  Eq, ExactEq, Ne, Lt, Le, Gt, Ge, Contains,
  // functions
  Upper, Lower, Str, Dtos, Dtoc, Ctod, Substr, Left, Right, Rtrim, Ltrim, Alltrim,
  Padr, Padl, Padc, Val, Iif, Year, Month, Day, Strzero, Transform, Empty, Len,
  Space, Replicate, Abs, Int, Round, Max, Min, Chr, Asc, At, Stuff,
  // a code block's list of expressions: the value of the last
  Sequence,
};

constexpr int kUnknownWidth = -1;

struct Node {
  Op op = Op::Const;
  Value::Type type = Value::Type::Nil;  // static result type (Memo only for a memo field)
  int width = kUnknownWidth;            // Character: the longest result; Numeric: display width
  int decimals = 0;
  int pos = 0;                          // where it starts in the text
  int field = -1;                       // Op::Field
  bool integer_field = false;           // a bare Integer column: 4-byte keys
  uint32_t first_arg = 0;               // children: args[first_arg .. first_arg + nargs)
  uint8_t nargs = 0;
};

// Longest text any evaluation may build; longer is an argument error rather than
// an unbounded allocation.
constexpr size_t kMaxStringLength = 1u << 20;

}  // namespace ace::expr
