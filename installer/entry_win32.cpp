// The Windows entry: the command line and the program's path from the system, the
// error window, and the run.
#include <windows.h>

#include "startup.h"

#ifdef HAVE_ERROR_WINDOW
#include "platform/error_window_win32.h"
#endif

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH + 1] = {};
  const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  const char* line = GetCommandLineA();
#ifdef HAVE_ERROR_WINDOW
  plat::install_error_window();
#endif
  return inst::run_program(line ? line : "", std::string(path, n));
}
