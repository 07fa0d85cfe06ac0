// The message pump of SYSREFRESH: the same steps as the dialog's own loop.
#include <windows.h>

namespace plat {

void process_waiting_messages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Leave the quit request for the loop that owns the program's main window.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    HWND active = GetActiveWindow();
    if (active && IsDialogMessageA(active, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace plat
