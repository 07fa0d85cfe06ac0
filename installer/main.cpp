#include "main.h"

#include "ads_driver.h"
#include "drivers.h"
#include "main_dialog.h"
#include "messages.h"
#include "module_state.h"
#include "platform/handles.h"
#include "platform/resources.h"
#include "platform/routine_frame.h"
#include "platform/settings.h"

namespace inst {

namespace {

bool is_blank(const std::string& s) {
  return s.find_first_not_of(" \t\r\n") == std::string::npos;
}

}  // namespace

void MAIN(std::optional<std::string> help_path) {
  plat::RoutineFrame frame("MAIN");
  plat::SETHANDLECOUNT(255);
  MainValues values;
  values.prompt_list = {text::kPrompt};
  values.button_pair = {nullptr, nullptr};
  values.help_path = help_path.value_or(std::string());
  if (is_blank(values.help_path)) return;

  ModuleState& state = module_state();
  state.drive_letters = installer_drive_letters();
  state.selected_drive = "C";
  state.static_text_holder = {nullptr};

  tbl::RDDREGISTER("ADS", 1);
  tbl::RDDSETDEFAULT("ADS");
  tbl::ADSSETSERVERTYPE(1);
  tbl::ADSSETFILETYPE(tbl::file_type_for_index_format("CDX"));
  plat::SETRESOURCES("progdll.dll");
  plat::SET_EPOCH(1950);
  plat::SET_DATEFORMAT("dd-mm-yy");
  plat::SET_DELETED(true);
  state.close_allowed = false;

  run_main_dialog(values);
}

}  // namespace inst
