#include "dbf/julian.h"

namespace ace::dbf {

// Tables and key expressions share one calendar: the expression language's.
int32_t julian_from_ymd(int year, int month, int day) { return expr::julian_from_ymd(year, month, day); }

void ymd_from_julian(int32_t julian, int* year, int* month, int* day) {
  // Day numbers come from files too: outside years 1..9999 they give day 0.
  if (julian < kFirstDay || julian > kLastDay) {
    *year = *month = *day = 0;
    return;
  }
  const expr::Ymd ymd = expr::ymd_from_julian(julian);
  *year = ymd.year;
  *month = ymd.month;
  *day = ymd.day;
}

int32_t julian_from_dtos(const char* text, size_t n) {
  bool blank = true;
  for (size_t i = 0; i < n; ++i)
    if (text[i] != ' ' && text[i] != '\0') blank = false;
  if (blank) return 0;
  if (n != 8) return -1;
  int v[8];
  for (int i = 0; i < 8; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    v[i] = text[i] - '0';
  }
  int year = v[0] * 1000 + v[1] * 100 + v[2] * 10 + v[3];
  int month = v[4] * 10 + v[5];
  int day = v[6] * 10 + v[7];
  if (month < 1 || month > 12 || day < 1 || day > 31) return -1;
  int32_t j = julian_from_ymd(year, month, day);
  int y2, m2, d2;
  ymd_from_julian(j, &y2, &m2, &d2);
  if (y2 != year || m2 != month || d2 != day) return -1;  // 31 April and the like
  return j;
}

std::string dtos_from_julian(int32_t julian) {
  if (julian < kFirstDay || julian > kLastDay) return std::string(8, ' ');
  int y, m, d;
  ymd_from_julian(julian, &y, &m, &d);
  if (y < 0 || y > 9999) return std::string(8, ' ');
  char buf[9];
  buf[0] = static_cast<char>('0' + y / 1000);
  buf[1] = static_cast<char>('0' + y / 100 % 10);
  buf[2] = static_cast<char>('0' + y / 10 % 10);
  buf[3] = static_cast<char>('0' + y % 10);
  buf[4] = static_cast<char>('0' + m / 10);
  buf[5] = static_cast<char>('0' + m % 10);
  buf[6] = static_cast<char>('0' + d / 10);
  buf[7] = static_cast<char>('0' + d % 10);
  return std::string(buf, 8);
}

}  // namespace ace::dbf
