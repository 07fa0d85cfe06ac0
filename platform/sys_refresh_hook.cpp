#include "sys_refresh.h"

#include <utility>

namespace plat {

void process_waiting_messages();  // sys_refresh.cpp / sys_refresh_win32.cpp

namespace {
RefreshHook& hook() {
  static RefreshHook h;
  return h;
}
}  // namespace

RefreshHook set_sys_refresh_hook(RefreshHook h) { return std::exchange(hook(), std::move(h)); }

void SYSREFRESH() {
  if (hook())
    hook()();
  else
    process_waiting_messages();
}

}  // namespace plat
