// Pictures of the program's windows for people to look at (never compared in tests).
// Taken only when SCREENSHOT_DIR names a host folder; ImageMagick's `import` grabs the
// window's area from the X display.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

// Saves SCREENSHOT_DIR/<name>.png; a failure is reported on standard error only.
void save_screenshot(HWND window, const std::string& name);

}  // namespace e2e
