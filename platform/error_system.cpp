#include "error_system.h"

#include <cstdio>
#include <cstdlib>

#include "error_report.h"
#include "error_window.h"
#include "program_facts.h"
#include "routine_frame.h"
#include "settings.h"
#include "system_facts.h"

namespace plat {

namespace {

ErrorSystemHooks& hooks() {
  static ErrorSystemHooks h;
  return h;
}

std::string call(const std::function<std::string()>& f) { return f ? f() : std::string(); }

bool is_quiet_network_error(const Error& e) {
  if (!e.can_default) return false;
  if (e.gen_code == EG_OPEN) return e.os_code == 32 || e.os_code == 5;
  return e.gen_code == EG_APPENDLOCK;
}

void write_report(const Error& e) {
  const LocalTime now = local_time_now();
  char clock[16];
  std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", now.hour, now.minute, now.second);
  ReportFacts f;
  f.date = DTOC(now.year, now.month, now.day);
  f.time = clock;
  f.seconds_since_start = seconds_since_start();
  f.call_stack = call_stack_text();
  f.module_path = module_path();
  f.arguments = program_arguments();
  f.machine = machine_facts();
  f.drivers = call(hooks().describe_drivers);
  f.open_tables = call(hooks().describe_open_tables);
  f.variables = call(hooks().describe_variables);
  f.memory = memory_facts();
  const std::string text = build_error_report(e, f);
  // Replaces an earlier report; a report that cannot be written is given up silently.
  if (std::FILE* out = std::fopen(error_log_name(), "wb")) {
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
  }
}

[[noreturn]] void quit() {
  if (hooks().end_of_program) hooks().end_of_program();
  if (hooks().release_libraries) hooks().release_libraries();
  if (hooks().exit_process) hooks().exit_process(1);
  std::exit(1);
}

}  // namespace

void install_error_system(ErrorSystemHooks h) {
  hooks() = std::move(h);
  set_error_handler(ERRORSYS);
}

ErrorAnswer ERRORSYS(const Error& e) {
  if (e.gen_code == EG_ZERODIV) return ErrorAnswer::Default;  // the operation yields 0
  if (is_quiet_network_error(e)) {
    if (hooks().set_network_error) hooks().set_network_error();
    return ErrorAnswer::Default;
  }

  write_report(e);
  const ErrorChoice choice =
      present_error_window({error_message(e), call_stack_text(), e.can_retry, e.can_default, error_log_name()});
  // A window that answers with a button it should not have offered ends the program.
  if (choice == ErrorChoice::Retry && e.can_retry) return ErrorAnswer::Retry;
  if (choice == ErrorChoice::Default && e.can_default) return ErrorAnswer::Default;
  quit();
}

}  // namespace plat
