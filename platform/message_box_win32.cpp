#include <windows.h>

#include "platform/message_box_system.h"

namespace plat {

void show_system_message_box(const MessageBoxRequest& request) {
  UINT icon = MB_ICONSTOP;
  if (request.icon == BoxIcon::Information) icon = MB_ICONINFORMATION;
  if (request.icon == BoxIcon::Exclamation) icon = MB_ICONEXCLAMATION;
  // Owned by whatever window is active now, which may be none once a dialog has ended.
  MessageBoxA(GetActiveWindow(), request.text.c_str(), request.title.c_str(),
              MB_OK | icon | MB_APPLMODAL);
}

}  // namespace plat
