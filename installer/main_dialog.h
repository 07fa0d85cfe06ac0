// The main dialog: built from the template "PRINCIPAL" and run modally by MAIN.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace inst {

struct MainValues {
  std::string help_path;
  std::vector<std::string> prompt_list;
  std::array<plat::Control*, 2> button_pair{};
};

void run_main_dialog(MainValues& v);

}  // namespace inst
