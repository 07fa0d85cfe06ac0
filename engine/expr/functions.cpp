#include "functions.h"

namespace ace::expr {

namespace {

const FunctionInfo kFunctions[] = {
    {"UPPER", Op::Upper, 1, 1},       {"LOWER", Op::Lower, 1, 1},
    {"STR", Op::Str, 1, 3},           {"STRZERO", Op::Strzero, 1, 3},
    {"DTOS", Op::Dtos, 1, 1},         {"DTOC", Op::Dtoc, 1, 2},
    {"CTOD", Op::Ctod, 1, 1},         {"SUBSTR", Op::Substr, 2, 3},
    {"LEFT", Op::Left, 2, 2},         {"RIGHT", Op::Right, 2, 2},
    {"TRIM", Op::Rtrim, 1, 1},        {"RTRIM", Op::Rtrim, 1, 1},
    {"LTRIM", Op::Ltrim, 1, 1},       {"ALLTRIM", Op::Alltrim, 1, 1},
    {"PADR", Op::Padr, 2, 3},         {"PADL", Op::Padl, 2, 3},
    {"PADC", Op::Padc, 2, 3},         {"VAL", Op::Val, 1, 1},
    {"IIF", Op::Iif, 3, 3},           {"IF", Op::Iif, 3, 3},
    {"DELETED", Op::Deleted, 0, 0},   {"RECNO", Op::Recno, 0, 0},
    {"YEAR", Op::Year, 1, 1},         {"MONTH", Op::Month, 1, 1},
    {"DAY", Op::Day, 1, 1},           {"TRANSFORM", Op::Transform, 1, 2},
    {"EMPTY", Op::Empty, 1, 1},       {"LEN", Op::Len, 1, 1},
    {"SPACE", Op::Space, 1, 1},       {"REPLICATE", Op::Replicate, 2, 2},
    {"ABS", Op::Abs, 1, 1},           {"INT", Op::Int, 1, 1},
    {"ROUND", Op::Round, 2, 2},       {"MAX", Op::Max, 2, 2},
    {"MIN", Op::Min, 2, 2},           {"CHR", Op::Chr, 1, 1},
    {"ASC", Op::Asc, 1, 1},           {"AT", Op::At, 2, 3},
    {"STUFF", Op::Stuff, 4, 4},       {"DATE", Op::Today, 0, 0},
    {"TIME", Op::Time, 0, 0},
};

}  // namespace

const FunctionInfo* find_function(std::string_view name) {
  for (const auto& f : kFunctions)
    if (name == f.name) return &f;
  if (name.size() < 4) return nullptr;
  const FunctionInfo* found = nullptr;
  for (const auto& f : kFunctions) {
    if (std::string_view(f.name).substr(0, name.size()) == name) {
      if (found && found->op != f.op) return nullptr;  // ambiguous
      found = &f;
    }
  }
  return found;
}

}  // namespace ace::expr
