#include "error_window.h"

#include <cstdio>
#include <utility>

namespace plat {

namespace {

ErrorChoice print_and_quit(const ErrorWindowRequest& r) {
  std::fprintf(stderr, "Error: %s\n%s(report: %s)\n", r.message.c_str(), r.call_stack.c_str(),
               r.log_path.c_str());
  return ErrorChoice::Quit;
}

ErrorWindowPresenter& presenter() {
  static ErrorWindowPresenter p = print_and_quit;
  return p;
}

}  // namespace

ErrorWindowPresenter set_error_window_presenter(ErrorWindowPresenter p) {
  return std::exchange(presenter(), p ? std::move(p) : ErrorWindowPresenter(print_and_quit));
}

ErrorChoice present_error_window(const ErrorWindowRequest& request) {
  ErrorWindowPresenter p = presenter();
  return p(request);
}

}  // namespace plat
