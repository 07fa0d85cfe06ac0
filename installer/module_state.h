// The installer's module state: four values that live for the whole run and are
// shared by MAIN, the main dialog and the search and copy.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace inst {

struct ModuleState {
  std::optional<bool> close_allowed;          // the dialog's close condition; unset at start
  std::vector<std::string> drive_letters;     // the drive box's items
  std::string selected_drive;                 // bound to the drive box
  std::vector<plat::Control*> static_text_holder;  // nullptr: an empty slot
};

ModuleState& module_state();

// Back to the start values (close flag unset, empty lists, no drive).
void reset_module_state();

// "C" to "V", then "X", "Y", "Z": no "W", no "A" or "B".
std::vector<std::string> installer_drive_letters();

}  // namespace inst
