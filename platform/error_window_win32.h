// The error window built in code, so it shows even when no resource library loaded.
#pragma once

#include "platform/error_window.h"

namespace plat {

constexpr const char* kErrorWindowTitle = "Application error";

// Control ids, for people and programs that drive the window.
enum ErrorWindowId : int {
  kErrorMessageId = 1000,
  kErrorQuitId = 1001,
  kErrorRetryId = 1002,
  kErrorDefaultId = 1003,
  kErrorSeeLogId = 1004,
  kErrorCallStackId = 1005,
};

// Shows the window modally, owned by the active window, and answers the user's choice.
ErrorChoice show_error_window(const ErrorWindowRequest& request);

// Makes show_error_window the presenter of unhandled errors.
void install_error_window();

}  // namespace plat
