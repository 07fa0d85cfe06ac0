// Walks a compiled program over one record. Every node writes its own result
// slot, reusing the slot's string buffer, so steady-state evaluation allocates
// nothing.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <ctime>

#include "evaluator.h"

#include "dates.h"
#include "numbers.h"
#include "program.h"
#include "text_ops.h"
#include "transform.h"

namespace ace::expr {

namespace {

using T = Value::Type;

bool is_text(T t) { return t == T::Character || t == T::Memo; }

// Whole numbers taken from numeric arguments (positions, lengths, counts).
long to_long(double d) {
  if (!(d > -1e9)) return -1000000000L;
  if (!(d < 1e9)) return 1000000000L;
  return static_cast<long>(d);
}

int32_t today_julian() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &now);
#else
  localtime_r(&now, &tm);
#endif
  return julian_from_ymd(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
}

}  // namespace

class Evaluator {
 public:
  Evaluator(Program& p, const RecordContext& ctx, const EvalSettings& s, Error* err)
      : p_(p), ctx_(ctx), s_(s), err_(err) {}

  bool run(uint32_t i);

 private:
  Value& slot(uint32_t i) { return p_.slots_[i]; }
  uint32_t arg(const Node& n, int k) const { return p_.args_[n.first_arg + static_cast<uint32_t>(k)]; }
  // Evaluates argument k of n and gives its value.
  const Value* eval_arg(const Node& n, int k) {
    uint32_t a = arg(n, k);
    return run(a) ? &p_.slots_[a] : nullptr;
  }
  bool fail(ErrorKind kind, const Node& n, const char* msg) {
    *err_ = Error{kind, n.pos, msg};
    return false;
  }
  bool check_length(const Node& n, size_t len) {
    return len <= kMaxStringLength || fail(ErrorKind::Argument, n, "String too long");
  }
  bool set_number(const Node& n, Value& out, double d) {
    if (!std::isfinite(d)) return fail(ErrorKind::Argument, n, "Numeric overflow");
    out.num = d == 0.0 ? 0.0 : d;
    out.width = n.width > 0 ? n.width : 0;
    out.decimals = n.decimals;
    return true;
  }
  bool set_date(const Node& n, Value& out, double j) {
    if (!(j >= kFirstJulian && j <= kLastJulian)) return fail(ErrorKind::Argument, n, "Date out of range");
    out.julian = static_cast<int32_t>(j);
    return true;
  }
  bool load_field(const Node& n, Value& out);
  bool compare(const Node& n, Value& out);
  bool call(const Node& n, Value& out);

  Program& p_;
  const RecordContext& ctx_;
  const EvalSettings& s_;
  Error* err_;
};

bool Evaluator::load_field(const Node& n, Value& out) {
  ctx_.load_field(n.field, out);
  bool fits = n.type == T::Memo ? is_text(out.type)
            : n.type == T::Character ? out.type == T::Character
            : out.type == n.type;
  if (!fits) return fail(ErrorKind::Type, n, "A field gave a value of another type");
  if (out.type == T::Memo) out.type = T::Character;
  if (out.type == T::Numeric) {  // the declared column decides how it displays
    out.width = n.width;
    out.decimals = n.decimals;
  }
  return true;
}

bool Evaluator::run(uint32_t i) {
  const Node& n = p_.nodes_[i];
  Value& out = slot(i);
  switch (n.op) {
    case Op::Const:
      return true;
    case Op::Field:
      return load_field(n, out);
    case Op::Recno:
      return set_number(n, out, ctx_.recno());
    case Op::Deleted:
      out.log = ctx_.deleted();
      return true;
    case Op::Today:
      out.julian = s_.today ? s_.today : today_julian();
      return true;
    case Op::Time: {
      std::time_t now = std::time(nullptr);
      std::tm tm{};
#ifdef _WIN32
      localtime_s(&tm, &now);
#else
      localtime_r(&now, &tm);
#endif
      char buf[16];
      std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", tm.tm_hour % 100, tm.tm_min % 100, tm.tm_sec % 100);
      out.str.assign(buf, 8);
      return true;
    }
    case Op::Neg: {
      const Value* a = eval_arg(n, 0);
      return a && set_number(n, out, -a->num);
    }
    case Op::Not: {
      const Value* a = eval_arg(n, 0);
      if (!a) return false;
      out.log = !a->log;
      return true;
    }
    case Op::And: case Op::Or: {
      const Value* a = eval_arg(n, 0);
      if (!a) return false;
      if (a->log == (n.op == Op::Or)) {  // decided by the left side
        out.log = a->log;
        return true;
      }
      const Value* b = eval_arg(n, 1);
      if (!b) return false;
      out.log = b->log;
      return true;
    }
    case Op::Add: case Op::Sub: case Op::Mul: case Op::Div: case Op::Mod: case Op::Pow: {
      const Value* a = eval_arg(n, 0);
      const Value* b = a ? eval_arg(n, 1) : nullptr;
      if (!b) return false;
      double x = a->num, y = b->num, r = 0.0;
      switch (n.op) {
        case Op::Add: r = x + y; break;
        case Op::Sub: r = x - y; break;
        case Op::Mul: r = x * y; break;
        // A zero divisor yields 0, as the program's error handler answers it.
        case Op::Div: r = y == 0.0 ? 0.0 : x / y; break;
        // The result takes the divisor's sign: -7 % 3 is 2.
        case Op::Mod: r = y == 0.0 ? 0.0 : x - y * std::floor(x / y); break;
        default: r = std::pow(x, y); break;
      }
      return set_number(n, out, r);
    }
    case Op::Concat: case Op::ConcatMoveBlanks: {
      const Value* a = eval_arg(n, 0);
      const Value* b = a ? eval_arg(n, 1) : nullptr;
      if (!b || !check_length(n, a->str.size() + b->str.size())) return false;
      out.str.clear();
      if (n.op == Op::Concat) {
        out.str.append(a->str);
        out.str.append(b->str);
      } else {
        append_concat_move_blanks(a->str, b->str, out.str);
      }
      return true;
    }
    case Op::DateAdd: case Op::DateSub: {
      const Value* a = eval_arg(n, 0);
      const Value* b = a ? eval_arg(n, 1) : nullptr;
      if (!b) return false;
      if (a->julian == 0) {  // the blank date stays blank
        out.julian = 0;
        return true;
      }
      double days = std::trunc(b->num);
      return set_date(n, out, n.op == Op::DateAdd ? a->julian + days : a->julian - days);
    }
    case Op::DateDiff: {
      const Value* a = eval_arg(n, 0);
      const Value* b = a ? eval_arg(n, 1) : nullptr;
      if (!b) return false;
      // No day count is meaningful against a blank date.
      double d = a->julian == 0 || b->julian == 0 ? 0.0 : static_cast<double>(a->julian) - b->julian;
      return set_number(n, out, d);
    }
    case Op::Eq: case Op::ExactEq: case Op::Ne: case Op::Lt: case Op::Le:
    case Op::Gt: case Op::Ge: case Op::Contains:
      return compare(n, out);
    case Op::Iif: {
      const Value* c = eval_arg(n, 0);
      if (!c) return false;
      const Value* r = eval_arg(n, c->log ? 1 : 2);
      if (!r) return false;
      out = *r;
      if (out.type == T::Memo) out.type = T::Character;
      return true;
    }
    case Op::Sequence: {
      for (int k = 0; k < n.nargs; ++k)
        if (!eval_arg(n, k)) return false;
      out = slot(arg(n, n.nargs - 1));
      return true;
    }
    default:
      return call(n, out);
  }
}

bool Evaluator::compare(const Node& n, Value& out) {
  const Value* a = eval_arg(n, 0);
  const Value* b = a ? eval_arg(n, 1) : nullptr;
  if (!b) return false;
  if (n.op == Op::Contains) {
    out.log = !a->str.empty() && b->str.find(a->str) != std::string::npos;
    return true;
  }
  if (a->type == T::Nil || b->type == T::Nil) {
    bool same = a->type == b->type;
    out.log = n.op == Op::Ne ? !same : same;
    return true;
  }
  int c = 0;
  if (is_text(a->type)) {
    if (n.op == Op::ExactEq) {
      out.log = a->str == b->str;
      return true;
    }
    c = compare_text(a->str, b->str);
  } else if (a->type == T::Numeric) {
    c = a->num < b->num ? -1 : a->num > b->num ? 1 : 0;
  } else if (a->type == T::Date) {
    c = a->julian < b->julian ? -1 : a->julian > b->julian ? 1 : 0;
  } else {
    c = static_cast<int>(a->log) - static_cast<int>(b->log);
  }
  switch (n.op) {
    case Op::Eq: case Op::ExactEq: out.log = c == 0; break;
    case Op::Ne: out.log = c != 0; break;
    case Op::Lt: out.log = c < 0; break;
    case Op::Le: out.log = c <= 0; break;
    case Op::Gt: out.log = c > 0; break;
    default: out.log = c >= 0; break;
  }
  return true;
}

bool Evaluator::call(const Node& n, Value& out) {
  const Value* a[4] = {nullptr, nullptr, nullptr, nullptr};
  for (int k = 0; k < n.nargs && k < 4; ++k)
    if (!(a[k] = eval_arg(n, k))) return false;
  std::string& s = out.str;
  switch (n.op) {
    case Op::Upper: case Op::Lower: {
      s.assign(a[0]->str);
      for (char& c : s) {
        if (n.op == Op::Upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        else if (n.op == Op::Lower && c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      }
      return true;
    }
    case Op::Str: case Op::Strzero: {
      long width = n.nargs > 1 ? to_long(a[1]->num) : 10;
      long dec = n.nargs > 2 ? to_long(a[2]->num) : 0;
      if (width < 1) return fail(ErrorKind::Argument, n, "STR() width must be positive");
      if (!check_length(n, static_cast<size_t>(width))) return false;
      s.clear();
      if (n.op == Op::Str) append_number(a[0]->num, static_cast<int>(width), static_cast<int>(std::max(0L, dec)), s);
      else append_number_zero(a[0]->num, static_cast<int>(width), static_cast<int>(std::max(0L, dec)), s);
      return true;
    }
    case Op::Dtos:
      s.clear();
      append_dtos(a[0]->julian, s);
      return true;
    case Op::Dtoc:
      s.clear();
      if (n.nargs > 1 && to_long(a[1]->num) == 1) append_dtos(a[0]->julian, s);
      else append_dtoc(a[0]->julian, s_.date_format, s);
      return true;
    case Op::Ctod:
      out.julian = ctod(a[0]->str, s_.date_format, s_.epoch);
      return true;
    case Op::Substr: {
      const std::string& src = a[0]->str;
      long len = static_cast<long>(src.size());
      long start = to_long(a[1]->num);
      long from = start > 0 ? start - 1 : start == 0 ? 0 : std::max(0L, len + start);
      if (from > len) from = len;
      long count = n.nargs > 2 ? to_long(a[2]->num) : len - from;
      count = std::max(0L, std::min(count, len - from));
      s.assign(src, static_cast<size_t>(from), static_cast<size_t>(count));
      return true;
    }
    case Op::Left: case Op::Right: {
      const std::string& src = a[0]->str;
      size_t count = static_cast<size_t>(std::max(0L, std::min(to_long(a[1]->num), static_cast<long>(src.size()))));
      s.assign(src, n.op == Op::Left ? 0 : src.size() - count, count);
      return true;
    }
    case Op::Rtrim: case Op::Ltrim: case Op::Alltrim: {
      const std::string& src = a[0]->str;
      size_t b = 0, e = src.size();
      if (n.op != Op::Rtrim)
        while (b < e && src[b] == ' ') ++b;
      if (n.op != Op::Ltrim)
        while (e > b && src[e - 1] == ' ') --e;
      s.assign(src, b, e - b);
      return true;
    }
    case Op::Padr: case Op::Padl: case Op::Padc: {
      long w = std::max(0L, to_long(a[1]->num));
      if (!check_length(n, static_cast<size_t>(w))) return false;
      char fill = n.nargs > 2 && !a[2]->str.empty() ? a[2]->str[0] : ' ';
      const std::string& src = a[0]->str;
      size_t width = static_cast<size_t>(w);
      size_t keep = std::min(src.size(), width);
      size_t pad = width - keep;
      size_t left = n.op == Op::Padl ? pad : n.op == Op::Padc ? pad / 2 : 0;
      s.assign(left, fill);
      s.append(src, 0, keep);
      s.append(pad - left, fill);
      return true;
    }
    case Op::Val: {
      ParsedNumber v = parse_number(a[0]->str);
      if (!set_number(n, out, v.value)) return false;
      out.decimals = v.decimals;
      return true;
    }
    case Op::Year: case Op::Month: case Op::Day: {
      Ymd d = ymd_from_julian(a[0]->julian);
      return set_number(n, out, n.op == Op::Year ? d.year : n.op == Op::Month ? d.month : d.day);
    }
    case Op::Transform:
      s.clear();
      append_transform(*a[0], n.nargs > 1 ? std::string_view(a[1]->str) : std::string_view(), s_, s);
      return check_length(n, s.size());
    case Op::Empty: {
      const Value& v = *a[0];
      switch (v.type) {
        case T::Character: case T::Memo: out.log = is_blank_text(v.str); break;
        case T::Numeric: out.log = v.num == 0.0; break;
        case T::Date: out.log = v.julian == 0; break;
        case T::Logical: out.log = !v.log; break;
        default: out.log = true; break;
      }
      return true;
    }
    case Op::Len:
      return set_number(n, out, static_cast<double>(a[0]->str.size()));
    case Op::Asc:
      return set_number(n, out, a[0]->str.empty() ? 0 : static_cast<unsigned char>(a[0]->str[0]));
    case Op::Space: case Op::Replicate: {
      const std::string unit = n.op == Op::Space ? std::string(" ") : std::string();
      const std::string& piece = n.op == Op::Space ? unit : a[0]->str;
      long times = std::max(0L, to_long(a[n.op == Op::Space ? 0 : 1]->num));
      if (!piece.empty() && static_cast<unsigned long long>(times) > kMaxStringLength / piece.size())
        return fail(ErrorKind::Argument, n, "String too long");
      s.clear();
      if (!piece.empty())
        for (long k = 0; k < times; ++k) s.append(piece);
      return true;
    }
    case Op::Abs:
      return set_number(n, out, std::fabs(a[0]->num));
    case Op::Int:
      return set_number(n, out, std::trunc(a[0]->num));
    case Op::Round: {
      Value& v = out;
      if (!set_number(n, v, round_half_away(a[0]->num, static_cast<int>(to_long(a[1]->num))))) return false;
      v.decimals = static_cast<int>(std::max(0L, std::min(15L, to_long(a[1]->num))));
      return true;
    }
    case Op::Max: case Op::Min: {
      bool first_larger;
      if (a[0]->type == T::Numeric) first_larger = a[0]->num >= a[1]->num;
      else if (a[0]->type == T::Date) first_larger = a[0]->julian >= a[1]->julian;
      else first_larger = a[0]->str >= a[1]->str;
      out = *a[(n.op == Op::Max) == first_larger ? 0 : 1];
      if (out.type == T::Memo) out.type = T::Character;
      return true;
    }
    case Op::Chr: {
      long c = to_long(a[0]->num);
      if (c < 0 || c > 255) return fail(ErrorKind::Argument, n, "CHR() takes 0 to 255");
      s.assign(1, static_cast<char>(static_cast<unsigned char>(c)));
      return true;
    }
    case Op::At: {
      long occurrence = n.nargs > 2 ? to_long(a[2]->num) : 1;
      const std::string& needle = a[0]->str;
      const std::string& hay = a[1]->str;
      size_t found = std::string::npos;
      if (!needle.empty() && occurrence > 0) {
        size_t from = 0;
        for (long k = 0; k < occurrence; ++k) {
          found = hay.find(needle, from);
          if (found == std::string::npos) break;
          from = found + 1;
        }
      }
      return set_number(n, out, found == std::string::npos ? 0.0 : static_cast<double>(found + 1));
    }
    case Op::Stuff: {
      const std::string& src = a[0]->str;
      long len = static_cast<long>(src.size());
      long from = std::max(0L, std::min(len, to_long(a[1]->num) - 1));
      long del = std::max(0L, std::min(len - from, to_long(a[2]->num)));
      if (!check_length(n, src.size() - static_cast<size_t>(del) + a[3]->str.size())) return false;
      s.assign(src, 0, static_cast<size_t>(from));
      s.append(a[3]->str);
      s.append(src, static_cast<size_t>(from + del), std::string::npos);
      return true;
    }
    default:
      return fail(ErrorKind::UnknownFunction, n, "Function not available");
  }
}

bool run_program(Program& p, const RecordContext& ctx, const EvalSettings& settings, Error* err) {
  Evaluator ev(p, ctx, settings, err);
  return ev.run(p.root_);
}

bool Program::evaluate_into(const RecordContext& ctx, const EvalSettings& settings, Value* out, Error* err) {
  Error e;
  if (!run_program(*this, ctx, settings, &e)) {
    if (err) *err = e;
    return false;
  }
  *out = slots_[root_];
  return true;
}

EvalResult Program::evaluate(const RecordContext& ctx, const EvalSettings& settings) {
  EvalResult r;
  evaluate_into(ctx, settings, &r.value, &r.error);
  return r;
}

}  // namespace ace::expr
