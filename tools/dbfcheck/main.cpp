// dbfcheck: inspect, verify and repair tables and their compound indexes.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "console.h"
#include "exit_codes.h"

int main(int argc, char** argv) {
  dbfcheck::prepare_console();
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    int code = dbfcheck::run_dbfcheck(args, std::cout, std::cerr);
    std::cout.flush();
    return code;
  } catch (const std::exception& e) {
    // Out of memory on a huge table, mostly: a message, never an abort.
    std::cerr << "dbfcheck: " << e.what() << '\n';
    return dbfcheck::kExitError;
  }
}
