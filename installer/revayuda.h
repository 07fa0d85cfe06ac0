// The install action: search the maker folder, copy the help file, end the dialog, report.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace inst {

void REVAYUDA(const std::string& help_path, std::vector<plat::Control*>& static_holder,
              plat::Control& drive_box, std::array<plat::Control*, 2>& buttons,
              plat::DialogControl& dialog);

}  // namespace inst
