#include <gtest/gtest.h>

#include <vector>

#include "tables/segundos.h"
#include "tables/value.h"

namespace {

using tbl::Value;

TEST(Value, TypeLetters) {
  EXPECT_EQ(tbl::VALTYPE(Value()), "U");
  EXPECT_EQ(tbl::VALTYPE(Value::character("x")), "C");
  EXPECT_EQ(tbl::VALTYPE(Value::memo("x")), "M");
  EXPECT_EQ(tbl::VALTYPE(Value::numeric(1.5, 10, 2)), "N");
  EXPECT_EQ(tbl::VALTYPE(Value::date(2455198)), "D");
  EXPECT_EQ(tbl::VALTYPE(Value::logical(true)), "L");
  EXPECT_EQ(tbl::VALTYPE(Value::array({Value()})), "A");
  // Memo and character text are different values.
  EXPECT_NE(Value::memo("x"), Value::character("x"));
}

TEST(Segundos, WaitsUntilTheClockHasPassedTheSpan) {
  double now = 100;
  std::vector<double> pauses;
  // A pause that ends early: SEGUNDOS must wait again for the rest.
  auto saved = tbl::set_wait_clock({[&] { return now; },
                                    [&](double s) {
                                      pauses.push_back(s);
                                      now += s / 2 + 0.01;
                                    }});
  tbl::SEGUNDOS(1);
  EXPECT_GE(now, 101);
  EXPECT_GT(pauses.size(), 1u);
  pauses.clear();
  tbl::SEGUNDOS(0);
  tbl::SEGUNDOS(-1);
  EXPECT_TRUE(pauses.empty());
  tbl::set_wait_clock(saved);
}

}  // namespace
