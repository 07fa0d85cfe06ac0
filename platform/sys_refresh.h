// Handling the window messages waiting for the program from inside a long wait,
// as the user interface's own message loop would.
#pragma once

#include <functional>

namespace plat {

// Takes every waiting message and handles it (dialog keys of the active dialog,
// translation, dispatch) until the queue is empty. A quit request ends the
// processing and is posted again, so the main loop still sees it. Does nothing
// where there is no window system.
void SYSREFRESH();

// Replaces what SYSREFRESH does (tests count the calls); returns the previous one.
// An empty function restores the system's processing.
using RefreshHook = std::function<void()>;
RefreshHook set_sys_refresh_hook(RefreshHook hook);

}  // namespace plat
