#include "numbers.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace ace::expr {

namespace {

double power_of_ten(int n) {
  double p = 1.0;
  for (int i = 0; i < (n < 0 ? -n : n); ++i) p *= 10.0;
  return n < 0 ? 1.0 / p : p;
}

}  // namespace

// Fixed notation with exactly `decimals` places, no padding, replacing *out.
void format_fixed(double n, int decimals, std::string* out) {
  double r = round_half_away(n, decimals);
  if (r == 0.0) r = 0.0;  // no "-0"
  char buf[64];
  int len = std::snprintf(buf, sizeof buf, "%.*f", decimals, r);
  if (len < 0) len = 0;
  if (static_cast<size_t>(len) < sizeof buf) {
    out->assign(buf, static_cast<size_t>(len));
  } else {
    out->resize(static_cast<size_t>(len) + 1);
    std::snprintf(&(*out)[0], out->size(), "%.*f", decimals, r);
    out->resize(static_cast<size_t>(len));
  }
}

double round_half_away(double n, int decimals) {
  if (!std::isfinite(n)) return n;
  if (decimals > 15) decimals = 15;
  if (decimals < -15) decimals = -15;
  double p = power_of_ten(decimals);
  double x = n * p;
  if (std::fabs(x) >= 1e15) return n;  // already beyond the places a double carries
  x += std::copysign(std::fabs(x) * 8 * DBL_EPSILON, x);
  return std::round(x) / p;
}

void append_number(double n, int width, int decimals, std::string& out) {
  if (width <= 0) return;
  if (decimals < 0) decimals = 0;
  if (decimals > width) decimals = width;
  if (std::isfinite(n) && std::fabs(n) < 1e300) {
    static thread_local std::string text;
    format_fixed(n, decimals, &text);
    int len = static_cast<int>(text.size());
    if (len > width && decimals > 0) {
      // Give up places: as many as the integer part leaves room for, then fewer
      // while rounding carries into a new digit.
      format_fixed(n, 0, &text);
      int d = std::min(decimals, width - static_cast<int>(text.size()) - 1);
      for (; d > 0; --d) {
        format_fixed(n, d, &text);
        if (static_cast<int>(text.size()) <= width) break;
      }
      if (d <= 0) format_fixed(n, 0, &text);
      len = static_cast<int>(text.size());
    }
    if (len <= width) {
      out.append(static_cast<size_t>(width - len), ' ');
      out.append(text);
      return;
    }
  }
  out.append(static_cast<size_t>(width), '*');
}

void append_number_zero(double n, int width, int decimals, std::string& out) {
  size_t start = out.size();
  append_number(n, width, decimals, out);
  bool negative = false;
  for (size_t i = start; i < out.size() && (out[i] == ' ' || out[i] == '-'); ++i) {
    if (out[i] == '-') negative = true;
    out[i] = '0';
  }
  if (negative) out[start] = '-';
}

ParsedNumber parse_number(std::string_view s) {
  // Copied out as plain digits so strtod rounds the decimal text once.
  std::string text;
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) text.push_back(s[i++]);
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') text.push_back(s[i++]);
  ParsedNumber r;
  if (i < s.size() && s[i] == '.') {
    text.push_back(s[i++]);
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
      text.push_back(s[i++]);
      ++r.decimals;
    }
  }
  r.value = std::strtod(text.c_str(), nullptr);
  if (r.value == 0.0) r.value = 0.0;
  return r;
}

}  // namespace ace::expr
