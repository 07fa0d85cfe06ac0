// What every end-to-end scenario of the installer shares: its texts as the user sees
// them (Windows-1252 bytes), a scratch folder per scenario, and starting the program.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "uidriver/process_win32.h"

namespace e2e {

constexpr const char* kDialogTitle = " Instalaci\xF3n de  Ayuda Brevant Profesional v.2010 R03";
constexpr const char* kPrompt =
    "Este proceso instala la Ayuda de BREVANT PROFESIONAL v.2010 Release 03.\n\r\n\r"
    "Por favor, seleccione UNIDAD de proceso :";
constexpr const char* kSuccessText = "La AYUDA de Brevant Profesional se instal\xF3 correctamente.";
constexpr const char* kSuccessTitle = " Proceso finalizado";
constexpr const char* kNothingFoundText =
    "En la UNIDAD seleccionada no se encontr\xF3 ning\xFAn Brevant Profesional v.2010 R03.\n\r\n\r"
    "Ayuda NO instalada.";
constexpr const char* kAttentionTitle = " Atenci\xF3n";

enum ControlId { kPicture = 700, kPromptText = 101, kDriveBox = 110, kInstall = 550, kExit = 551 };

// Names the cases of a table by their `name` member.
struct CaseName {
  template <typename Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& info) const {
    return info.param.name;
  }
};

// The running test's name, usable in file names.
std::string scenario_name();
// An empty scratch folder for the running scenario (Windows path).
std::string fresh_folder(const std::string& suffix = "");

enum class Ace32 { Normal, Recording };
// Copies the installer and its engine (and progdll.dll when asked) into `folder`; the
// program's path there.
std::string private_installation(const std::string& folder, bool with_progdll, Ace32 engine);
// The installer as built, with its libraries beside it.
std::string built_installer();

// The main dialog, found by its title; null when it does not appear.
HWND wait_for_main_dialog(Process& process);

// Waits for the process to end and tells what it showed meanwhile.
struct QuietExit {
  bool exited = false;
  DWORD code = 0;
  bool showed_window = false;
  bool showed_message_box = false;
};
QuietExit wait_exit_watching_windows(Process& process);

// Today as the program writes it once set up: dd-mm-yy.
std::string today_dd_mm_yy();

}  // namespace e2e
