// The modal window that reports an unhandled error and asks what to do.
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
  std::string log_path;
};

using ErrorWindowPresenter = std::function<ErrorChoice(const ErrorWindowRequest&)>;

ErrorWindowPresenter set_error_window_presenter(ErrorWindowPresenter);

}  // namespace plat
