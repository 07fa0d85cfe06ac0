#include "screenshot_win32.h"

#include <algorithm>
#include <cstdio>

#include "unix_shell_win32.h"

namespace e2e {

void save_screenshot(HWND window, const std::string& name) {
  char dir[MAX_PATH * 2] = "";
  const DWORD n = GetEnvironmentVariableA("SCREENSHOT_DIR", dir, sizeof dir);
  if (n == 0 || n >= sizeof dir) return;
  // Let the window finish painting before the picture is taken.
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored);
  RECT r{};
  GetWindowRect(window, &r);
  const LONG margin = 8;
  const LONG left = std::max<LONG>(0, r.left - margin), top = std::max<LONG>(0, r.top - margin);
  const std::string geometry = std::to_string(r.right + margin - left) + "x" +
                               std::to_string(r.bottom + margin - top) + "+" +
                               std::to_string(left) + "+" + std::to_string(top);
  const std::string target = std::string(dir, n) + "/" + name + ".png";
  const auto status = run_host_command("import -window root -crop " + geometry + " +repage " +
                                       shell_quote(target));
  if (!status || *status != 0) std::fprintf(stderr, "screenshot %s not saved\n", target.c_str());
}

}  // namespace e2e
