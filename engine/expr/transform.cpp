#include "transform.h"

#include <cmath>
#include <cstdio>

#include "dates.h"
#include "numbers.h"

namespace ace::expr {

namespace {

struct Picture {
  std::string_view functions;  // letters after "@"
  std::string_view layout;     // the template
};

Picture split_picture(std::string_view p) {
  Picture r;
  if (!p.empty() && p[0] == '@') {
    size_t blank = p.find(' ');
    r.functions = p.substr(1, blank == std::string_view::npos ? std::string_view::npos : blank - 1);
    if (blank != std::string_view::npos) r.layout = p.substr(blank + 1);
  } else {
    r.layout = p;
  }
  return r;
}

bool has_function(const Picture& p, char f) {
  for (char c : p.functions)
    if ((c >= 'a' && c <= 'z' ? c - 32 : c) == f) return true;
  return false;
}

bool is_digit_slot(char c) { return c == '9' || c == '#'; }
bool is_char_slot(char c) {
  return c == '9' || c == '#' || c == 'X' || c == 'x' || c == 'A' || c == 'a' || c == 'N' ||
         c == 'n' || c == '!';
}
char to_upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

void append_text(const Value& v, const Picture& p, std::string& out) {
  bool all_upper = has_function(p, '!');
  if (p.layout.empty()) {
    for (char c : v.str) out.push_back(all_upper ? to_upper(c) : c);
    return;
  }
  size_t src = 0;
  for (char t : p.layout) {
    if (is_char_slot(t)) {
      char c = src < v.str.size() ? v.str[src++] : ' ';
      out.push_back(all_upper || t == '!' ? to_upper(c) : c);
    } else {
      out.push_back(t);
    }
  }
}

void append_plain_number(const Value& v, std::string& out) {
  if (v.width > 0) {
    append_number(v.num, v.width, v.decimals, out);
    return;
  }
  char buf[64];
  int dec = v.decimals < 0 ? 0 : v.decimals > 15 ? 15 : v.decimals;
  double r = round_half_away(v.num, dec);
  if (r == 0.0) r = 0.0;
  int n = std::snprintf(buf, sizeof buf, "%.*f", dec, r);
  if (n > 0 && n < static_cast<int>(sizeof buf)) out.append(buf, static_cast<size_t>(n));
  else out.push_back('*');
}

void append_templated_number(double n, std::string_view layout, std::string& out) {
  size_t point = layout.find('.');
  int int_slots = 0, dec_slots = 0;
  for (size_t i = 0; i < layout.size(); ++i)
    if (is_digit_slot(layout[i])) (point == std::string_view::npos || i < point ? int_slots : dec_slots)++;

  std::string text;
  bool fits = std::isfinite(n) && std::fabs(n) < 1e300;
  std::string_view int_digits, dec_digits;
  bool negative = false;
  if (fits) {
    format_fixed(std::fabs(n), dec_slots, &text);
    negative = n < 0 && text.find_first_not_of("0.") != std::string::npos;
    std::string_view digits(text);
    size_t dot = digits.find('.');
    int_digits = digits.substr(0, dot);
    if (dot != std::string_view::npos) dec_digits = digits.substr(dot + 1);
    if (int_digits == "0" && int_slots == 0) int_digits = {};
    fits = static_cast<int>(int_digits.size()) + (negative ? 1 : 0) <= int_slots;
  }
  if (!fits) {
    out.append(layout.size(), '*');
    return;
  }
  size_t start = out.size();
  out.append(layout.data(), layout.size());
  // Integer slots are filled from the right, then the sign; separators only
  // between digits.
  size_t int_end = point == std::string_view::npos ? layout.size() : point;
  size_t next = int_digits.size();
  bool sign_done = !negative;
  for (size_t i = int_end; i-- > 0;) {
    char& c = out[start + i];
    if (is_digit_slot(layout[i])) {
      if (next > 0) c = int_digits[--next];
      else if (!sign_done) c = '-', sign_done = true;
      else c = ' ';
    } else if (layout[i] == ',') {
      c = next > 0 ? ',' : ' ';
    }
  }
  size_t d = 0;
  for (size_t i = int_end; i < layout.size(); ++i)
    if (is_digit_slot(layout[i])) out[start + i] = d < dec_digits.size() ? dec_digits[d++] : '0';
}

}  // namespace

void append_transform(const Value& v, std::string_view picture, const EvalSettings& settings,
                      std::string& out) {
  Picture p = split_picture(picture);
  switch (v.type) {
    case Value::Type::Character:
    case Value::Type::Memo:
      append_text(v, p, out);
      break;
    case Value::Type::Numeric: {
      size_t start = out.size();
      if (p.layout.empty()) append_plain_number(v, out);
      else append_templated_number(v.num, p.layout, out);
      if (has_function(p, 'Z') && v.num == 0.0) out.replace(start, out.size() - start, out.size() - start, ' ');
      break;
    }
    case Value::Type::Date:
      append_dtoc(v.julian, settings.date_format, out);
      break;
    case Value::Type::Logical:
      out += v.log ? ".T." : ".F.";
      break;
    case Value::Type::Nil:
      break;
  }
}

int transform_width(Value::Type type, int value_width, std::string_view picture,
                    const EvalSettings& settings) {
  Picture p = split_picture(picture);
  switch (type) {
    case Value::Type::Character:
    case Value::Type::Memo:
    case Value::Type::Numeric:
      return p.layout.empty() ? (value_width > 0 ? value_width : -1) : static_cast<int>(p.layout.size());
    case Value::Type::Date: return dtoc_width(settings.date_format);
    case Value::Type::Logical: return 3;
    default: return 0;
  }
}

}  // namespace ace::expr
