#include "segundos.h"

#include <chrono>
#include <thread>
#include <utility>

namespace tbl {
namespace {

double steady_seconds() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void sleep_for(double seconds) {
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

WaitClock& clock() {
  static WaitClock c{steady_seconds, sleep_for};
  return c;
}

}  // namespace

WaitClock set_wait_clock(WaitClock c) {
  if (!c.now) c.now = steady_seconds;
  if (!c.pause) c.pause = sleep_for;
  return std::exchange(clock(), std::move(c));
}

void SEGUNDOS(double seconds) {
  // Wait until the clock says the span is over: a pause may end early.
  const double end = clock().now() + seconds;
  for (double left = seconds; left > 0; left = end - clock().now()) clock().pause(left);
}

}  // namespace tbl
