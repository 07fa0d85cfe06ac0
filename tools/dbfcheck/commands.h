// The four commands. Each writes its results on `out` and its errors on `err`,
// and answers the exit code (exit_codes.h).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "command_line.h"
#include "status.h"

namespace dbfcheck {

int run_info(const Invocation& inv, std::ostream& out, std::ostream& err);
int run_dump(const Invocation& inv, std::ostream& out, std::ostream& err);
int run_verify(const Invocation& inv, std::ostream& out, std::ostream& err);
int run_reindex(const Invocation& inv, std::ostream& out, std::ostream& err);

// The whole tool: `args` are the words after the program name.
int run_dbfcheck(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// "dbfcheck: FILE: reason" on `err`.
void report_error(std::ostream& err, const ace::Status& s);

}  // namespace dbfcheck
