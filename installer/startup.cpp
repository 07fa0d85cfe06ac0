#include "startup.h"

#include "command_line.h"
#include "drivers.h"
#include "main.h"
#include "module_state.h"
#include "net_error.h"
#include "open_tables.h"
#include "platform/error_system.h"
#include "platform/program_facts.h"
#include "platform/resources.h"
#include "platform/settings.h"

namespace inst {

void start_program(const std::string& module_path, const std::vector<std::string>& arguments) {
  plat::reset_settings();
  reset_module_state();
  plat::record_start(module_path, arguments);

  plat::ErrorSystemHooks hooks;
  hooks.set_network_error = [] { tbl::set_neterr(true); };
  hooks.describe_drivers = tbl::describe_drivers;
  hooks.describe_open_tables = tbl::describe_open_tables;
  hooks.end_of_program = end_program;
  hooks.release_libraries = plat::release_loaded_libraries;
  plat::install_error_system(hooks);

  tbl::RDDREGISTER("DELIM", 2);
  tbl::RDDREGISTER("SDF", 2);
  tbl::RDDREGISTER("DBF", 1);
}

void end_program() {
  tbl::close_all_tables();
  tbl::shutdown_drivers();
}

int run_program(const std::string& command_line, const std::string& module_path) {
  const std::vector<std::string> table = argument_table(module_path, cut_command_line(command_line));
  const std::vector<std::string> args = main_arguments(table);
  start_program(module_path, std::vector<std::string>(table.begin() + 1, table.end()));
  MAIN(args.empty() ? std::nullopt : std::optional<std::string>(args.front()));
  end_program();
  return 0;
}

}  // namespace inst
