// Push button running an action; a press while its action runs is ignored.
#pragma once

#include <functional>

#include "platform/dialog_item_win32.h"
#include "platform/dialog_win32.h"

namespace plat {

class TButton : public TDialogItem {
 public:
  // `cancel` marks the button pressable even when the focused control fails its
  // validation; no control here validates, so it only records the intent.
  static TButton* ReDefine(TDialog& owner, int id, std::function<void()> action,
                           bool cancel = false);

  TButton(int id, std::function<void()> action, bool cancel)
      : TDialogItem(id), action_(std::move(action)), cancel_(cancel) {}

  bool is_cancel() const { return cancel_; }
  bool running() const { return running_; }

 protected:
  void on_command(int notification) override;

 private:
  std::function<void()> action_;
  bool cancel_;
  bool running_ = false;
};

}  // namespace plat
