// Values that live for the whole run and are shared by MAIN, the dialog and the search.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace inst {

struct ModuleState {
  std::optional<bool> close_allowed;
  std::vector<std::string> drive_letters;
  std::string selected_drive;
  std::vector<plat::Control*> static_text_holder;
};

ModuleState& module_state();

}  // namespace inst
