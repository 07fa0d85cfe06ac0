#include "main_dialog_fixture_win32.h"

#include "installer/revayuda.h"
#include "platform/resources.h"

namespace guitest {

std::function<void(InstallCall&)> install_action;
int install_calls = 0;

std::vector<std::string> drive_letters() {
  std::vector<std::string> letters;
  for (char c = 'C'; c <= 'Z'; ++c) {
    if (c != 'W') letters.emplace_back(1, c);
  }
  return letters;
}

void MainDialogTest::SetUp() {
  previous_handler_ = plat::set_error_handler([this](const plat::Error& e) {
    errors.push_back(e);
    return plat::ErrorAnswer::Default;
  });
  previous_presenter_ = plat::set_message_box_presenter(
      [this](const plat::MessageBoxRequest& r) { boxes.push_back(r); });
  use_resources("progdll.dll");

  inst::ModuleState& state = inst::module_state();
  state.close_allowed = false;
  state.drive_letters = drive_letters();
  state.selected_drive = "C";
  state.static_text_holder.assign(1, nullptr);
  values.help_path = "Z:\\ayuda\\brevantpro.chm";
  values.prompt_list = {kPrompt};
  install_action = nullptr;
  install_calls = 0;
}

void MainDialogTest::TearDown() {
  plat::release_loaded_libraries();
  plat::set_error_handler(previous_handler_);
  plat::set_message_box_presenter(previous_presenter_);
}

void MainDialogTest::use_resources(const char* library) {
  plat::release_loaded_libraries();
  plat::SETRESOURCES(library);
}

void MainDialogTest::run() { inst::run_main_dialog(values); }

}  // namespace guitest

// The installer's module state and install action, standing in for the real ones.
namespace inst {

ModuleState& module_state() {
  static ModuleState state;
  return state;
}

void REVAYUDA(const std::string& help_path, std::vector<plat::Control*>& static_holder,
              plat::Control& drive_box, std::array<plat::Control*, 2>& buttons,
              plat::DialogControl& dialog) {
  ++guitest::install_calls;
  guitest::InstallCall call{help_path, static_holder, drive_box, buttons, dialog};
  if (guitest::install_action) guitest::install_action(call);
}

}  // namespace inst
