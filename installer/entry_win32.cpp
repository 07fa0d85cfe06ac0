// The Windows entry: the command line and the program's path from the system, the
// error window, and the run.
#include <windows.h>

#include "startup.h"

#include "platform/error_window_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const char* line = GetCommandLineA();
  plat::install_error_window();
  return inst::run_program(line ? line : "", std::string(path, n));
}
