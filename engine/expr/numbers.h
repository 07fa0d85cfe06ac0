// Numbers as text: STR, STRZERO and VAL, and rounding as the language does it.
#pragma once

#include <string>
#include <string_view>

namespace ace::expr {

// Half away from zero, to `decimals` places (negative: to tens, hundreds...).
// Values a few units in the last place below a half (1.005 held as 1.00499...)
// count as the half they were written as.
double round_half_away(double n, int decimals);

// Right-aligned in exactly `width` characters with `decimals` places. When the
// number does not fit, places are given up first; when even the integer part does
// not fit, the result is `width` asterisks. Appends to out; width must be > 0.
void append_number(double n, int width, int decimals, std::string& out);

// Fixed notation with exactly `decimals` places (rounded half away), replacing *out.
void format_fixed(double n, int decimals, std::string* out);

// STRZERO: as append_number, with zeros in place of the leading blanks (a minus
// sign goes first).
void append_number_zero(double n, int width, int decimals, std::string& out);

struct ParsedNumber {
  double value = 0.0;
  int decimals = 0;
};
// VAL: leading blanks, a sign, digits, a point and digits; the rest is ignored.
// Text that starts with no number gives 0.
ParsedNumber parse_number(std::string_view s);

}  // namespace ace::expr
