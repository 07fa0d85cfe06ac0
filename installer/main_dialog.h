// The main dialog as MAIN builds and runs it: it returns when the dialog has closed.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace inst {

struct MainValues {
  std::string help_path;
  std::vector<std::string> prompt_list;             // one text: the prompt
  std::array<plat::Control*, 2> button_pair{};      // filled by the dialog: install, exit
};

void run_main_dialog(MainValues& v);

}  // namespace inst
