#include "routine_frame.h"

namespace plat {

namespace {
std::vector<const char*>& frames() {
  static std::vector<const char*> f;
  return f;
}
}  // namespace

RoutineFrame::RoutineFrame(const char* routine) { frames().push_back(routine); }
RoutineFrame::~RoutineFrame() { frames().pop_back(); }

std::vector<std::string> call_stack() {
  const auto& f = frames();
  return std::vector<std::string>(f.rbegin(), f.rend());
}

std::string call_stack_text() {
  std::string text;
  for (const std::string& name : call_stack()) text += "Called from " + name + "\r\n";
  return text;
}

}  // namespace plat
