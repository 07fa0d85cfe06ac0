// The routines' call stack, kept for the error report and the error window.
// A routine names itself on entry with a RoutineFrame; the frame leaves the stack
// when the routine returns, however it returns.
#pragma once

#include <string>
#include <vector>

namespace plat {

class RoutineFrame {
 public:
  explicit RoutineFrame(const char* routine);
  ~RoutineFrame();
  RoutineFrame(const RoutineFrame&) = delete;
  RoutineFrame& operator=(const RoutineFrame&) = delete;
};

// Names of the routines running now, innermost first.
std::vector<std::string> call_stack();

// One line per routine, innermost first: "Called from REVAYUDA".
std::string call_stack_text();

}  // namespace plat
