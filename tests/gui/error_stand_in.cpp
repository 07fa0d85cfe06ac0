// The error handler registry, for builds whose platform core does not provide it yet.
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/error.h"
#include "platform/error_window.h"

namespace plat {

namespace {
ErrorHandler& handler() {
  static ErrorHandler h;
  return h;
}
ErrorWindowPresenter& presenter() {
  static ErrorWindowPresenter p;
  return p;
}
}  // namespace

ErrorHandler set_error_handler(ErrorHandler h) { return std::exchange(handler(), std::move(h)); }

ErrorAnswer raise_error(const Error& e) {
  if (handler()) return handler()(e);
  std::fprintf(stderr, "%s/%d %s\n", e.subsystem.c_str(), e.sub_code, e.description.c_str());
  std::exit(1);
}

ErrorWindowPresenter set_error_window_presenter(ErrorWindowPresenter p) {
  return std::exchange(presenter(), std::move(p));
}

}  // namespace plat
