#include "dates.h"

#include <cstdio>

namespace ace::expr {

namespace {

bool is_leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int days_in_month(int y, int m) {
  static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && is_leap(y) ? 29 : kDays[m - 1];
}

// One run of d, m or y letters in a date format.
struct FormatPart {
  char what;  // 'd', 'm', 'y', or 0 for a separator character
  int width;  // digits written
  char sep;
};

template <typename F>
void for_each_part(std::string_view fmt, F&& f) {
  size_t i = 0;
  while (i < fmt.size()) {
    char c = static_cast<char>(fmt[i] | 0x20);
    if (c == 'd' || c == 'm' || c == 'y') {
      size_t j = i;
      while (j < fmt.size() && static_cast<char>(fmt[j] | 0x20) == c) ++j;
      int run = static_cast<int>(j - i);
      f(FormatPart{c, c == 'y' ? (run >= 3 ? 4 : 2) : 2, 0});
      i = j;
    } else {
      f(FormatPart{0, 1, fmt[i]});
      ++i;
    }
  }
}

void append_digits(int value, int width, std::string& out) {
  char buf[16];
  int n = std::snprintf(buf, sizeof buf, "%0*d", width, value);
  out.append(buf + (n > width ? n - width : 0), static_cast<size_t>(width));
}

}  // namespace

int32_t julian_from_ymd(int y, int m, int d) {
  if (y < 1 || y > 9999 || m < 1 || m > 12 || d < 1 || d > days_in_month(y, m)) return 0;
  int a = (14 - m) / 12;
  int yy = y + 4800 - a;
  int mm = m + 12 * a - 3;
  return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

Ymd ymd_from_julian(int32_t j) {
  if (j <= 0) return {};
  int a = j + 32044;
  int b = (4 * a + 3) / 146097;
  int c = a - 146097 * b / 4;
  int d = (4 * c + 3) / 1461;
  int e = c - 1461 * d / 4;
  int m = (5 * e + 2) / 153;
  Ymd r;
  r.day = e - (153 * m + 2) / 5 + 1;
  r.month = m + 3 - 12 * (m / 10);
  r.year = 100 * b + d - 4800 + m / 10;
  return r;
}

void append_dtos(int32_t julian, std::string& out) {
  if (julian <= 0) {
    out.append(8, ' ');
    return;
  }
  Ymd d = ymd_from_julian(julian);
  append_digits(d.year, 4, out);
  append_digits(d.month, 2, out);
  append_digits(d.day, 2, out);
}

int32_t julian_from_dtos(std::string_view s) {
  if (s.size() < 8) return 0;
  int v[8];
  for (int i = 0; i < 8; ++i) {
    if (s[i] < '0' || s[i] > '9') return 0;
    v[i] = s[i] - '0';
  }
  return julian_from_ymd(v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3], v[4] * 10 + v[5], v[6] * 10 + v[7]);
}

void append_dtoc(int32_t julian, std::string_view fmt, std::string& out) {
  Ymd d = ymd_from_julian(julian);
  bool blank = julian <= 0;
  for_each_part(fmt, [&](const FormatPart& p) {
    if (!p.what) {
      out.push_back(p.sep);
    } else if (blank) {
      out.append(static_cast<size_t>(p.width), ' ');
    } else {
      int v = p.what == 'd' ? d.day : p.what == 'm' ? d.month : d.year;
      append_digits(p.width == 2 && p.what == 'y' ? v % 100 : v, p.width, out);
    }
  });
}

int dtoc_width(std::string_view fmt) {
  int w = 0;
  for_each_part(fmt, [&](const FormatPart& p) { w += p.width; });
  return w;
}

int32_t ctod(std::string_view text, std::string_view fmt, int epoch) {
  char order[3];
  int parts = 0;
  for_each_part(fmt, [&](const FormatPart& p) {
    if (p.what && parts < 3) order[parts++] = p.what;
  });
  if (parts != 3) return 0;

  // The digit groups of the text, in order, whatever separates them.
  int value[3] = {0, 0, 0};
  int digits[3] = {0, 0, 0};
  int groups = 0;
  size_t i = 0;
  while (i < text.size() && groups < 3) {
    if (text[i] >= '0' && text[i] <= '9') {
      long v = 0;
      int n = 0;
      while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        if (v < 100000) v = v * 10 + (text[i] - '0');
        ++n;
        ++i;
      }
      value[groups] = static_cast<int>(v);
      digits[groups] = n;
      ++groups;
    } else {
      ++i;
    }
  }
  if (groups < 3) return 0;

  int y = 0, m = 0, d = 0;
  for (int k = 0; k < 3; ++k) {
    if (order[k] == 'd') d = value[k];
    else if (order[k] == 'm') m = value[k];
    else {
      y = value[k];
      if (digits[k] <= 2) {
        y += epoch / 100 * 100;
        if (y < epoch) y += 100;
      }
    }
  }
  return julian_from_ymd(y, m, d);
}

}  // namespace ace::expr
