#include "installer/main_dialog.h"

#include "installer/module_state.h"
#include "installer/revayuda.h"
#include "platform/dialog_components_win32.h"

namespace inst {

namespace {

constexpr const char* kTitle = " Instalaci\xF3n de  Ayuda Brevant Profesional v.2010 R03";

enum ControlId : int {
  kPicture = 700,
  kPrompt = 101,
  kDriveBox = 110,
  kInstallButton = 550,
  kExitButton = 551,
};

}  // namespace

void run_main_dialog(MainValues& v) {
  ModuleState& state = module_state();
  std::unique_ptr<plat::TDialog> dialog = plat::TDialog::New(kTitle, "PRINCIPAL");
  plat::TDialog& dlg = *dialog;

  plat::TBitmap::ReDefine(dlg, kPicture, "brevant");

  plat::TSay* prompt = plat::TSay::ReDefine(dlg, kPrompt, [&v] {
    return v.prompt_list.empty() ? std::string() : v.prompt_list.front();
  });
  if (state.static_text_holder.empty()) state.static_text_holder.resize(1);
  state.static_text_holder[0] = prompt;

  plat::TComboBox* drive_box = plat::TComboBox::ReDefine(
      dlg, kDriveBox,
      [&state](const std::optional<std::string>& value) {
        if (value) state.selected_drive = *value;
        return state.selected_drive;
      },
      state.drive_letters);

  v.button_pair[0] = plat::TButton::ReDefine(dlg, kInstallButton, [&v, &state, drive_box, &dlg] {
    REVAYUDA(v.help_path, state.static_text_holder, *drive_box, v.button_pair, dlg);
  });
  v.button_pair[1] = plat::TButton::ReDefine(
      dlg, kExitButton,
      [&state, &dlg] {
        state.close_allowed = true;
        dlg.End();
      },
      /*cancel=*/true);

  // An unset flag cannot allow closing any more than a false one.
  dlg.Activate([&state] { return state.close_allowed.value_or(false); });

  // The controls die with the dialog; leave no dangling pointers in the shared state.
  state.static_text_holder[0] = nullptr;
  v.button_pair = {};
}

}  // namespace inst
