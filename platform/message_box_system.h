// The platform's own message box, used when no presenter has been set.
#pragma once

#include "platform/message_box.h"

namespace plat {

void show_system_message_box(const MessageBoxRequest& request);

}  // namespace plat
