// Without a windowing system a box becomes one line on standard error.
#include <cstdio>

#include "platform/message_box_system.h"

namespace plat {

void show_system_message_box(const MessageBoxRequest& request) {
  const char* kind = request.icon == BoxIcon::Information ? "info"
                     : request.icon == BoxIcon::Exclamation ? "alert"
                                                            : "stop";
  std::fprintf(stderr, "[%s] %s: %s\n", kind, request.title.c_str(), request.text.c_str());
}

}  // namespace plat
