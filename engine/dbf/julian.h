// Dates as Julian day numbers, the form date fields, keys and the C interface use
// (2450462 is 1997-01-13; 0 stands for a blank date).
#pragma once

#include <cstdint>
#include <string>

#include "expr/dates.h"

namespace ace::dbf {

// 0001-01-01 and 9999-12-31, the range dates are written in.
constexpr int32_t kFirstDay = expr::kFirstJulian;
constexpr int32_t kLastDay = expr::kLastJulian;

// 0 for a day that does not exist or lies outside the range.
int32_t julian_from_ymd(int year, int month, int day);
void ymd_from_julian(int32_t julian, int* year, int* month, int* day);

// "YYYYMMDD" to a day number: 0 for a blank text, -1 for a text that is no date.
int32_t julian_from_dtos(const char* text, size_t n);
// The day number as "YYYYMMDD"; eight blanks for 0 and days outside the range.
std::string dtos_from_julian(int32_t julian);

}  // namespace ace::dbf
