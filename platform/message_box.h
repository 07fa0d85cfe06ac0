// Message boxes of the GUI platform. The program calls these; a test replaces the
// presenter to record the boxes instead of showing them.
#pragma once

#include <functional>
#include <string>

namespace plat {

enum class BoxIcon { Information, Exclamation, Stop };

struct MessageBoxRequest {
  BoxIcon icon;
  std::string text;   // Windows-1252 bytes
  std::string title;  // Windows-1252 bytes
};

// Shows the box modally, owned by the window active at the call, with one OK
// button; returns when the user has closed it.
using MessageBoxPresenter = std::function<void(const MessageBoxRequest&)>;

// Replaces the presenter (tests); returns the previous one. The default presenter
// is the system's message box on Windows and a line on standard error elsewhere.
MessageBoxPresenter set_message_box_presenter(MessageBoxPresenter presenter);

// Information icon; title "Information" when none is given.
void MSGINFO(const std::string& text, const std::string& title = "Information");
// Exclamation icon; title "Alert" when none is given.
void MSGALERT(const std::string& text, const std::string& title = "Alert");
// Stop icon; title "Stop" when none is given.
void MSGSTOP(const std::string& text, const std::string& title = "Stop");

}  // namespace plat
