// Day numbers and the text forms of dates under the date format and epoch.
#include <gtest/gtest.h>

#include "expr/dates.h"

namespace ace::expr {
namespace {

TEST(Dates, JulianDayNumbers) {
  EXPECT_EQ(julian_from_ymd(1997, 1, 13), 2450462);
  EXPECT_EQ(julian_from_ymd(2000, 1, 1), 2451545);
  EXPECT_EQ(julian_from_ymd(1, 1, 1), kFirstJulian);
  EXPECT_EQ(julian_from_ymd(9999, 12, 31), kLastJulian);
  EXPECT_EQ(julian_from_ymd(2000, 2, 29), julian_from_ymd(2000, 3, 1) - 1);
  for (auto [y, m, d] : {std::tuple{1900, 2, 29}, {2021, 2, 29}, {2021, 13, 1}, {2021, 4, 31},
                         {0, 1, 1}, {10000, 1, 1}, {2021, 0, 1}, {2021, 1, 0}})
    EXPECT_EQ(julian_from_ymd(y, m, d), 0) << y << "-" << m << "-" << d;
  // Every day of the range converts back to itself.
  for (int32_t j = kFirstJulian; j <= kLastJulian; j += 97) {
    Ymd d = ymd_from_julian(j);
    ASSERT_EQ(julian_from_ymd(d.year, d.month, d.day), j);
  }
}

TEST(Dates, DtocFollowsTheFormat) {
  int32_t j = julian_from_ymd(2005, 3, 7);
  struct Case {
    const char* format;
    int32_t julian;
    const char* text;
  } cases[] = {
      {"dd-mm-yy", j, "07-03-05"},
      {"mm/dd/yy", j, "03/07/05"},
      {"MM/DD/YYYY", j, "03/07/2005"},
      {"yyyy.mm.dd", j, "2005.03.07"},
      {"dd-mm-yy", 0, "  -  -  "},
      {"mm/dd/yyyy", 0, "  /  /    "},
  };
  for (const auto& c : cases) {
    std::string s;
    append_dtoc(c.julian, c.format, s);
    EXPECT_EQ(s, c.text) << c.format;
    EXPECT_EQ(dtoc_width(c.format), static_cast<int>(s.size())) << c.format;
  }
}

TEST(Dates, CtodReadsTwoDigitYearsThroughTheEpoch) {
  struct Case {
    const char* text;
    const char* format;
    int epoch;
    int year, month, day;  // 0: no date
  } cases[] = {
      {"31-01-49", "dd-mm-yy", 1950, 2049, 1, 31},
      {"31-01-50", "dd-mm-yy", 1950, 1950, 1, 31},
      {"31-01-99", "dd-mm-yy", 1950, 1999, 1, 31},
      {"31-01-00", "dd-mm-yy", 1950, 2000, 1, 31},
      {"01/31/20", "mm/dd/yy", 1900, 1920, 1, 31},
      {"01/31/2020", "mm/dd/yy", 1900, 2020, 1, 31},
      {"31.1.5", "dd-mm-yy", 1950, 2005, 1, 31},
      {"2020-01-31", "yyyy-mm-dd", 1900, 2020, 1, 31},
      {"31-02-20", "dd-mm-yy", 1950, 0, 0, 0},
      {"31-01", "dd-mm-yy", 1950, 0, 0, 0},
      {"", "dd-mm-yy", 1950, 0, 0, 0},
      {"  -  -  ", "dd-mm-yy", 1950, 0, 0, 0},
      {"ab-cd-ef", "dd-mm-yy", 1950, 0, 0, 0},
  };
  for (const auto& c : cases) {
    int32_t want = c.year ? julian_from_ymd(c.year, c.month, c.day) : 0;
    EXPECT_EQ(ctod(c.text, c.format, c.epoch), want) << c.text << " " << c.format;
  }
}

TEST(Dates, Dtos) {
  std::string s;
  append_dtos(2450462, s);
  append_dtos(0, s);
  EXPECT_EQ(s, "19970113        ");
  EXPECT_EQ(julian_from_dtos("19970113"), 2450462);
  EXPECT_EQ(julian_from_dtos("1997011"), 0);
  EXPECT_EQ(julian_from_dtos("19971313"), 0);
}

}  // namespace
}  // namespace ace::expr
