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

// MAIN's values while it runs, so that the error report can show them.
const MainValues* running_values = nullptr;

struct RunningValues {
  explicit RunningValues(const MainValues& v) { running_values = &v; }
  ~RunningValues() { running_values = nullptr; }
};

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

bool is_blank(const std::string& s) {
  return s.find_first_not_of(" \t\r\n") == std::string::npos;
}

}  // namespace

void MAIN(std::optional<std::string> help_path) {
  plat::RoutineFrame frame("MAIN");
  plat::SETHANDLECOUNT(255);
  MainValues values;
  const RunningValues shown(values);
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

std::string describe_variables() {
  std::string out;
  if (running_values) {
    out += "MAIN help-file path: " + quoted(running_values->help_path) + "\r\n";
    out += "MAIN prompt list: " + std::to_string(running_values->prompt_list.size()) + " element(s)\r\n";
  }
  const ModuleState& state = module_state();
  out += "close-allowed flag: ";
  out += !state.close_allowed ? "unset" : (*state.close_allowed ? ".T." : ".F.");
  out += "\r\nselected drive: " + quoted(state.selected_drive) + "\r\n";
  out += "drive-letter list: " + std::to_string(state.drive_letters.size()) + " element(s)\r\n";
  out += "static-text holder: " + std::to_string(state.static_text_holder.size()) + " slot(s)\r\n";
  return out;
}

}  // namespace inst
