#include "module_state.h"
#include "platform/routine_frame.h"
#include "revayuda.h"

namespace inst {

void run_install(const std::string& help_path, plat::Control& drive_box,
                 std::array<plat::Control*, 2>& buttons, plat::DialogControl& dialog,
                 plat::FileSystem& fs, const ShowOutcome& show, const SearchOptions& options) {
  plat::RoutineFrame frame("REVAYUDA");
  drive_box.Disable();
  drive_box.Refresh();
  for (plat::Control* b : buttons)
    if (b) b->Disable();
  for (plat::Control* b : buttons)
    if (b) b->Refresh();

  const std::vector<std::string> accepted =
      find_installations(fs, module_state().selected_drive, options);
  // Copies only once the whole listing is examined.
  const std::vector<std::string> failed = copy_help(fs, help_path, accepted);

  module_state().close_allowed = true;
  dialog.End();
  show(outcome_message(accepted, failed));
}

}  // namespace inst
