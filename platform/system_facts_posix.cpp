#include "system_facts.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <ctime>
#include <fstream>

namespace plat {

std::string machine_facts() {
  std::string out;
  struct utsname u {};
  if (uname(&u) == 0) {
    out += std::string("Operating system: ") + u.sysname + " " + u.release + " " + u.machine + "\r\n";
    out += std::string("Computer name: ") + u.nodename + "\r\n";
  }
  out += "Processors: " + std::to_string(sysconf(_SC_NPROCESSORS_ONLN)) + "\r\n";
  return out;
}

std::string memory_facts() {
  std::string out;
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0 || line.rfind("VmSize:", 0) == 0) out += line + "\r\n";
  }
  return out;
}

LocalTime local_time_now() {
  std::time_t t = std::time(nullptr);
  std::tm tm {};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace plat
