// SEGUNDOS: the wait between retries of the table routines.
#pragma once

#include <functional>

namespace tbl {

// Returns once the given number of seconds has passed (at once for 0 or less).
// The result is never used by the callers.
void SEGUNDOS(double seconds);

// The clock and the pause SEGUNDOS is built on. Tests replace them so that no test
// sleeps: `now` gives seconds on any steady scale, `pause` waits about that long.
struct WaitClock {
  std::function<double()> now;
  std::function<void(double seconds)> pause;
};

// Installs a clock; returns the previous one. An empty member keeps the system's.
WaitClock set_wait_clock(WaitClock clock);

}  // namespace tbl
