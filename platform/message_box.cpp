#include "platform/message_box.h"

#include <utility>

#include "platform/message_box_system.h"

namespace plat {

namespace {

MessageBoxPresenter& presenter() {
  static MessageBoxPresenter current = show_system_message_box;
  return current;
}

void present(BoxIcon icon, const std::string& text, const std::string& title) {
  // A copy, so a presenter that replaces itself while showing stays alive.
  MessageBoxPresenter show = presenter();
  if (show) {
    show(MessageBoxRequest{icon, text, title});
  } else {
    show_system_message_box(MessageBoxRequest{icon, text, title});
  }
}

}  // namespace

MessageBoxPresenter set_message_box_presenter(MessageBoxPresenter p) {
  return std::exchange(presenter(), std::move(p));
}

void MSGINFO(const std::string& text, const std::string& title) {
  present(BoxIcon::Information, text, title);
}

void MSGALERT(const std::string& text, const std::string& title) {
  present(BoxIcon::Exclamation, text, title);
}

void MSGSTOP(const std::string& text, const std::string& title) {
  present(BoxIcon::Stop, text, title);
}

}  // namespace plat
