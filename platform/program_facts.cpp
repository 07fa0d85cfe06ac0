#include "program_facts.h"

#include <chrono>

namespace plat {

namespace {
struct Facts {
  std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
  std::string module_path;
  std::vector<std::string> arguments;
};
Facts& facts() {
  static Facts f;
  return f;
}
}  // namespace

void record_start(const std::string& path, const std::vector<std::string>& arguments) {
  facts() = Facts{std::chrono::steady_clock::now(), path, arguments};
}

long seconds_since_start() {
  auto d = std::chrono::steady_clock::now() - facts().start;
  return static_cast<long>(std::chrono::duration_cast<std::chrono::seconds>(d).count());
}

const std::string& module_path() { return facts().module_path; }
const std::vector<std::string>& program_arguments() { return facts().arguments; }

}  // namespace plat
