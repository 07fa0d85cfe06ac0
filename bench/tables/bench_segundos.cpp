// Prints how long SEGUNDOS really waits on the system's clock, for the spans the
// retrying routines use, one after another as a failing retry loop calls it.
#include <chrono>
#include <cstdio>

#include "tables/segundos.h"

namespace {

double measure(double span, int times) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < times; ++i) tbl::SEGUNDOS(span);
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  struct Row {
    const char* what;
    double span;
    int times;
  } rows[] = {
      {"LNETUSE, 1 attempt (default)", 1.0, 1},
      {"LNETUSE, 2 attempts", 1.0, 2},
      {"LNETRECLOCK / LNETRECADD, 1 s (default)", 0.5, 2},
      {"LNETRECLOCK / LNETRECADD, 2 s", 0.5, 4},
  };
  std::printf("%-42s %10s %10s %8s\n", "budget", "asked s", "waited s", "over ms");
  for (const Row& r : rows) {
    const double asked = r.span * r.times;
    const double waited = measure(r.span, r.times);
    std::printf("%-42s %10.3f %10.3f %8.1f\n", r.what, asked, waited, (waited - asked) * 1000);
  }
  return 0;
}
