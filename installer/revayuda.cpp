#include "revayuda.h"

#include "platform/message_box.h"

namespace inst {

void REVAYUDA(const std::string& help_path, std::vector<plat::Control*>& /*static_holder: unused*/,
              plat::Control& drive_box, std::array<plat::Control*, 2>& buttons,
              plat::DialogControl& dialog) {
  run_install(help_path, drive_box, buttons, dialog, plat::system_files(), [](const Outcome& o) {
    if (o.icon == plat::BoxIcon::Exclamation)
      plat::MSGALERT(o.text, o.title);
    else
      plat::MSGINFO(o.text, o.title);
  });
}

}  // namespace inst
