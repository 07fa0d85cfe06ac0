// The tool's command line: a command, its table and its options.
#pragma once

#include <string>
#include <vector>

namespace dbfcheck {

enum class Command { None, Info, Dump, Verify, Reindex };

struct Invocation {
  Command command = Command::None;
  bool help = false;  // --help, alone or after a command
  std::string table;
  std::string tag;  // dump --tag
  bool oem = false; // dump --oem
};

// False with the reason in *why when the words make no valid invocation.
// `args` are the words after the program name.
bool parse_command_line(const std::vector<std::string>& args, Invocation* out, std::string* why);

const char* command_name(Command c);

}  // namespace dbfcheck
