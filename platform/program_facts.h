// What the program knows about its own run: when it started, its file and its
// command-line words. Recorded once at start-up, read by the error report.
#pragma once

#include <string>
#include <vector>

namespace plat {

void record_start(const std::string& module_path, const std::vector<std::string>& arguments);

// Whole seconds since record_start (0 before it).
long seconds_since_start();

const std::string& module_path();
const std::vector<std::string>& program_arguments();

}  // namespace plat
