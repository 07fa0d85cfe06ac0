// Runs the installer's real dialog wiring against a stand-in install action, with
// errors and message boxes recorded instead of shown.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "installer/main_dialog.h"
#include "installer/module_state.h"
#include "platform/error.h"
#include "platform/message_box.h"

namespace guitest {

constexpr const char* kTitle = " Instalaci\xF3n de  Ayuda Brevant Profesional v.2010 R03";
constexpr const char* kPrompt =
    "Este proceso instala la Ayuda de BREVANT PROFESIONAL v.2010 Release 03.\n\r\n\r"
    "Por favor, seleccione UNIDAD de proceso :";

// What the install button handed over, seen from inside the stand-in action.
struct InstallCall {
  const std::string& help_path;
  std::vector<plat::Control*>& static_holder;
  plat::Control& drive_box;
  std::array<plat::Control*, 2>& buttons;
  plat::DialogControl& dialog;
};

// The stand-in REVAYUDA runs this; tests set it.
extern std::function<void(InstallCall&)> install_action;
extern int install_calls;

std::vector<std::string> drive_letters();

class MainDialogTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Makes `library` the resource module; a name that does not load leaves the
  // test program's own file current.
  void use_resources(const char* library);
  void run();

  inst::MainValues values;
  std::vector<plat::Error> errors;
  std::vector<plat::MessageBoxRequest> boxes;

 private:
  plat::ErrorHandler previous_handler_;
  plat::MessageBoxPresenter previous_presenter_;
};

}  // namespace guitest
