// REVAYUDA, the install run: the install button's action.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "install_search.h"
#include "platform/controls.h"

namespace inst {

// Disables the drive box and both buttons, searches the maker folder of the
// selected drive, copies the help file into every accepted installation, ends the
// dialog and then tells the outcome in a message box.
void REVAYUDA(const std::string& help_path, std::vector<plat::Control*>& static_holder,
              plat::Control& drive_box, std::array<plat::Control*, 2>& buttons,
              plat::DialogControl& dialog);

// REVAYUDA over the given file system and message box, for tests.
using ShowOutcome = std::function<void(const Outcome&)>;
void run_install(const std::string& help_path, plat::Control& drive_box,
                 std::array<plat::Control*, 2>& buttons, plat::DialogControl& dialog,
                 plat::FileSystem& fs, const ShowOutcome& show, const SearchOptions& options = {});

}  // namespace inst
