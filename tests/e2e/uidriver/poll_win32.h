// Waiting for something another process does: the condition is checked again every
// few milliseconds until it holds or the time limit runs out. Nothing waits a fixed time.
#pragma once

#include <windows.h>

namespace e2e {

// Generous: a Wine process can take seconds to start when the machine is busy.
constexpr DWORD kWaitMs = 60000;

template <typename Condition>
bool poll_until(Condition condition, DWORD timeout_ms = kWaitMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start >= timeout_ms) return condition();
    Sleep(20);
  }
}

}  // namespace e2e
