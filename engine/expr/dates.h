// Calendar dates as Julian day numbers, and their text forms.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ace::expr {

// Day numbers of 0001-01-01 and 9999-12-31: the dates a table can hold.
constexpr int32_t kFirstJulian = 1721426;
constexpr int32_t kLastJulian = 5373484;

struct Ymd {
  int year = 0, month = 0, day = 0;
};

// 0 when the day does not exist or lies outside years 1 to 9999.
int32_t julian_from_ymd(int year, int month, int day);
// Day 0 (the blank date) gives 0/0/0.
Ymd ymd_from_julian(int32_t julian);

// "YYYYMMDD"; eight blanks for the blank date. Appends to out.
void append_dtos(int32_t julian, std::string& out);
// The inverse of DTOS; 0 for a blank or invalid text.
int32_t julian_from_dtos(std::string_view s);

// The date in the date format; the format with blanks for digits for the blank date.
void append_dtoc(int32_t julian, std::string_view date_format, std::string& out);
// Length of what append_dtoc writes for a format.
int dtoc_width(std::string_view date_format);
// Text to date through the date format's order of day, month and year; a two-digit
// year falls in the hundred years from the epoch. 0 for a text that is no date.
int32_t ctod(std::string_view text, std::string_view date_format, int epoch);

}  // namespace ace::expr
