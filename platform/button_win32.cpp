#include "platform/button_win32.h"

namespace plat {

TButton* TButton::ReDefine(TDialog& owner, int id, std::function<void()> action, bool cancel) {
  return owner.add(std::make_unique<TButton>(id, std::move(action), cancel));
}

void TButton::on_command(int notification) {
  if (notification != BN_CLICKED) return;
  // The action may pump messages (a message box), so a second press can arrive
  // while it runs; a disabled button takes none either.
  if (running_ || !active() || !action_) return;
  struct Running {
    bool& flag;
    explicit Running(bool& f) : flag(f) { flag = true; }
    ~Running() { flag = false; }
  } guard(running_);
  action_();
}

}  // namespace plat
