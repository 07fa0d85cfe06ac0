#include "commands.h"
#include "engine_access.h"
#include "exit_codes.h"
#include "help_text.h"

namespace dbfcheck {

void report_error(std::ostream& err, const ace::Status& s) {
  err << "dbfcheck: ";
  if (!s.file.empty()) err << s.file << ": ";
  err << (s.text.empty() ? "failed" : s.text);
  if (s.os_code) err << " (system error " << s.os_code << ")";
  err << '\n';
}

int run_dbfcheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  Invocation inv;
  std::string why;
  if (!parse_command_line(args, &inv, &why)) {
    err << "dbfcheck: " << why << "\n" << "Try 'dbfcheck --help'.\n";
    return kExitError;
  }
  if (inv.help) {
    out << help_text(inv.command);
    return kExitOk;
  }
  detach_index_upkeep();
  switch (inv.command) {
    case Command::Info: return run_info(inv, out, err);
    case Command::Dump: return run_dump(inv, out, err);
    case Command::Verify: return run_verify(inv, out, err);
    case Command::Reindex: return run_reindex(inv, out, err);
    default: return kExitError;
  }
}

}  // namespace dbfcheck
