// The retry budget of the table routines: a count of attempts or of seconds that
// may be fractional or negative; exactly 0 means without limit. Whether it has a
// limit is settled once, from the value given.
#pragma once

namespace tbl {

class RetryBudget {
 public:
  explicit RetryBudget(double given) : left_(given), unlimited_(given == 0) {}
  bool left() const { return unlimited_ || left_ > 0; }
  void spend(double amount) { left_ -= amount; }

 private:
  double left_;
  bool unlimited_;
};

}  // namespace tbl
