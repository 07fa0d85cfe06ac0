// The error window of the application's error handler: it shows the error message
// and the call stack and lets the user choose how to go on. The presenter is
// replaceable; the Windows build installs the real window at start-up, the default
// one writes to standard error and answers Quit.
#pragma once

#include <functional>
#include <string>

namespace plat {

enum class ErrorChoice { Quit, Retry, Default };

struct ErrorWindowRequest {
  std::string message;
  std::string call_stack;
  bool can_retry;
  bool can_default;
  std::string log_path;  // the report the window's "See Error.log file" opens
};

using ErrorWindowPresenter = std::function<ErrorChoice(const ErrorWindowRequest&)>;

// Replaces the presenter; returns the previous one.
ErrorWindowPresenter set_error_window_presenter(ErrorWindowPresenter presenter);

// Shows the error window through the current presenter; returns the user's choice.
ErrorChoice present_error_window(const ErrorWindowRequest& request);

}  // namespace plat
