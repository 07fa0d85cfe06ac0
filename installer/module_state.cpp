#include "module_state.h"

namespace inst {

ModuleState& module_state() {
  static ModuleState s;
  return s;
}

void reset_module_state() { module_state() = ModuleState{}; }

std::vector<std::string> installer_drive_letters() {
  std::vector<std::string> letters;
  for (char c = 'C'; c <= 'Z'; ++c)
    if (c != 'W') letters.emplace_back(1, c);
  return letters;
}

}  // namespace inst
