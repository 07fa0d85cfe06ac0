#include "command_line.h"

namespace dbfcheck {
namespace {

Command command_of(const std::string& word) {
  if (word == "info") return Command::Info;
  if (word == "dump") return Command::Dump;
  if (word == "verify") return Command::Verify;
  if (word == "reindex") return Command::Reindex;
  return Command::None;
}

}  // namespace

const char* command_name(Command c) {
  switch (c) {
    case Command::Info: return "info";
    case Command::Dump: return "dump";
    case Command::Verify: return "verify";
    case Command::Reindex: return "reindex";
    default: return "";
  }
}

bool parse_command_line(const std::vector<std::string>& args, Invocation* out, std::string* why) {
  *out = Invocation{};
  size_t i = 0;
  // "help COMMAND" reads like "COMMAND --help".
  if (!args.empty() && args[0] == "help") {
    out->help = true;
    if (args.size() > 2) {
      *why = "help takes at most one command";
      return false;
    }
    if (args.size() == 2) {
      out->command = command_of(args[1]);
      if (out->command == Command::None) {
        *why = "unknown command '" + args[1] + "'";
        return false;
      }
    }
    return true;
  }
  for (; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--help" || a == "-h") {
      out->help = true;
    } else if (out->command == Command::None) {
      if (!a.empty() && a[0] == '-') {
        *why = "unknown option '" + a + "'";
        return false;
      }
      out->command = command_of(a);
      if (out->command == Command::None) {
        *why = "unknown command '" + a + "'";
        return false;
      }
    } else if (a == "--tag" || a.rfind("--tag=", 0) == 0) {
      if (out->command != Command::Dump) {
        *why = std::string("--tag is an option of dump, not of ") + command_name(out->command);
        return false;
      }
      if (a == "--tag") {
        if (i + 1 == args.size()) {
          *why = "--tag needs a tag name";
          return false;
        }
        out->tag = args[++i];
      } else {
        out->tag = a.substr(6);
      }
      if (out->tag.empty()) {
        *why = "--tag needs a tag name";
        return false;
      }
    } else if (a == "--oem") {
      if (out->command != Command::Dump) {
        *why = std::string("--oem is an option of dump, not of ") + command_name(out->command);
        return false;
      }
      out->oem = true;
    } else if (a.size() > 1 && a[0] == '-' && a != "--") {
      *why = "unknown option '" + a + "'";
      return false;
    } else {
      if (a == "--") {
        if (i + 1 == args.size()) break;
        ++i;
      }
      if (!out->table.empty()) {
        *why = "more than one table given";
        return false;
      }
      out->table = args[i];
    }
  }
  if (out->help) return true;
  if (out->command == Command::None) {
    *why = "no command given";
    return false;
  }
  if (out->table.empty()) {
    *why = std::string(command_name(out->command)) + " needs a table";
    return false;
  }
  return true;
}

}  // namespace dbfcheck
