// What --help prints, for the tool and for each command.
#pragma once

#include "command_line.h"

namespace dbfcheck {

// The tool's overview for Command::None, else the command's own page.
const char* help_text(Command c);

}  // namespace dbfcheck
