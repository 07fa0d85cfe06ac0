// Minimal error and message-box layers for these tests, built only while the
// platform's own are not in the tree: raise_error hands the error to the installed
// handler, the message boxes to the installed presenter.
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "platform/error.h"
#include "platform/message_box.h"

namespace plat {

#ifndef HAVE_PLATFORM_ERROR
namespace {
ErrorHandler& handler() {
  static ErrorHandler h;
  return h;
}
}  // namespace

const char* generic_description(int gen_code) {
  switch (gen_code) {
    case EG_ARG: return "Argument error";
    case EG_ZERODIV: return "Zero divisor";
    case EG_SYNTAX: return "Syntax error";
    case EG_NOALIAS: return "Alias does not exist";
    case EG_DUPALIAS: return "Alias already in use";
    case EG_OPEN: return "Open error";
    case EG_DATATYPE: return "Data type error";
    case EG_NOTABLE: return "Workarea not in use";
    case EG_APPENDLOCK: return "Append lock failed";
    default: return "";
  }
}

std::string error_description(const Error& e) {
  return e.description.empty() ? generic_description(e.gen_code) : e.description;
}

std::string error_message(const Error& e) {
  return e.subsystem + "/" + std::to_string(e.sub_code) + "  " + error_description(e);
}

ErrorHandler set_error_handler(ErrorHandler h) { return std::exchange(handler(), std::move(h)); }

ErrorAnswer raise_error(const Error& e) {
  if (!handler()) {
    std::fprintf(stderr, "%s\n", error_message(e).c_str());
    std::exit(1);
  }
  return handler()(e);
}
#endif

#ifndef HAVE_PLATFORM_MESSAGE_BOX
namespace {
MessageBoxPresenter& presenter() {
  static MessageBoxPresenter p;
  return p;
}
void show(BoxIcon icon, const std::string& text, const std::string& title) {
  if (presenter())
    presenter()({icon, text, title});
  else
    std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
}
}  // namespace

MessageBoxPresenter set_message_box_presenter(MessageBoxPresenter p) {
  return std::exchange(presenter(), std::move(p));
}
void MSGINFO(const std::string& text, const std::string& title) { show(BoxIcon::Information, text, title); }
void MSGALERT(const std::string& text, const std::string& title) { show(BoxIcon::Exclamation, text, title); }
void MSGSTOP(const std::string& text, const std::string& title) { show(BoxIcon::Stop, text, title); }
#endif

}  // namespace plat
