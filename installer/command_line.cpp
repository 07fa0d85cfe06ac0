#include "command_line.h"

namespace inst {

std::vector<std::string> cut_command_line(const std::string& line) {
  const size_t n = line.size();
  size_t i = 0;
  auto code = [&](size_t k) { return static_cast<unsigned char>(line[k]); };

  // The program's own name: a quoted one ends at the closing quote, a bare one at
  // the first control character or blank.
  if (n > 0 && line[0] == '"') {
    i = line.find('"', 1);
    i = (i == std::string::npos) ? n : i + 1;
  } else {
    while (i < n && code(i) > 32) ++i;
  }
  while (i < n && code(i) >= 1 && code(i) <= 32) ++i;

  std::vector<std::string> words;
  while (i < n) {
    const size_t end = line.find(' ', i);
    const size_t stop = (end == std::string::npos) ? n : end;
    words.push_back(line.substr(i, stop - i));
    i = stop;
    while (i < n && line[i] == ' ') ++i;
  }
  return words;
}

std::vector<std::string> argument_table(const std::string& module_path,
                                        const std::vector<std::string>& words) {
  std::vector<std::string> table{module_path};
  for (size_t k = 0; k < words.size() && k < kMaxWords; ++k) table.push_back(words[k]);
  return table;
}

bool is_startup_switch(const std::string& word) {
  return word.size() >= 2 && word[0] == '/' && word[1] == '/';
}

std::vector<std::string> main_arguments(const std::vector<std::string>& table) {
  std::vector<std::string> args;
  for (size_t k = 1; k < table.size(); ++k)
    if (!is_startup_switch(table[k])) args.push_back(table[k]);
  return args;
}

}  // namespace inst
