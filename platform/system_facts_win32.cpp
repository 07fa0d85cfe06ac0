#include "system_facts.h"

#include <windows.h>

#include <string>

namespace plat {

std::string machine_facts() {
  std::string out;
  OSVERSIONINFOA v {};
  v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (GetVersionExA(&v)) {
#pragma GCC diagnostic pop
    out += "Operating system: Windows " + std::to_string(v.dwMajorVersion) + "." +
           std::to_string(v.dwMinorVersion) + " build " + std::to_string(v.dwBuildNumber) + " " +
           v.szCSDVersion + "\r\n";
  }
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD len = sizeof name;
  if (GetComputerNameA(name, &len)) out += std::string("Computer name: ") + name + "\r\n";
  SYSTEM_INFO si {};
  GetSystemInfo(&si);
  out += "Processors: " + std::to_string(si.dwNumberOfProcessors) + "\r\n";
  return out;
}

std::string memory_facts() {
  MEMORYSTATUS m {};
  m.dwLength = sizeof m;
  GlobalMemoryStatus(&m);
  return "Physical memory: " + std::to_string(m.dwTotalPhys / 1024) + " KB, free " +
         std::to_string(m.dwAvailPhys / 1024) + " KB\r\n" + "Memory load: " +
         std::to_string(m.dwMemoryLoad) + "%\r\n";
}

LocalTime local_time_now() {
  SYSTEMTIME st {};
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

}  // namespace plat
