// From the command line the system hands over to the argument of MAIN.
//
// The line is cut at blanks only: tabs and double quotes are ordinary characters,
// so a quoted path with a blank is still cut at the blank. Words of two characters
// or more that begin with "//" are start-up switches and never reach MAIN.
#pragma once

#include <string>
#include <vector>

namespace inst {

// The argument table holds the program's path and at most this many words. A longer
// command line keeps its first 19 words and drops the rest: only the first word
// that is not a switch is ever used, and it lies among them unless 19 switches
// come first, in which case MAIN gets no argument and the program ends at once.
constexpr size_t kMaxWords = 19;

// The words after the program's own name, in order.
std::vector<std::string> cut_command_line(const std::string& line);

// The program's path followed by the first kMaxWords words.
std::vector<std::string> argument_table(const std::string& module_path,
                                        const std::vector<std::string>& words);

bool is_startup_switch(const std::string& word);

// The arguments of MAIN: the table's words without the start-up switches.
std::vector<std::string> main_arguments(const std::vector<std::string>& table);

}  // namespace inst
