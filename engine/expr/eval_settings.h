// The program-wide settings that change what a date conversion gives.
#pragma once

#include <cstdint>
#include <string>

namespace ace::expr {

struct EvalSettings {
  // Letters d, m and y (yy: two-digit year, yyyy: four digits); any other
  // character is a separator. Century off is simply a format with "yy".
  std::string date_format = "mm/dd/yy";
  // First year of the hundred years that a two-digit year falls in.
  int epoch = 1900;
  // DATE(): this Julian day when not 0, else the system clock's.
  int32_t today = 0;
};

}  // namespace ace::expr
