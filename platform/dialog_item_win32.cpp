#include "platform/dialog_item_win32.h"

namespace plat {

void TDialogItem::Disable() {
  active_ = false;
  if (hwnd_) EnableWindow(hwnd_, FALSE);
}

void TDialogItem::Refresh() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
}

}  // namespace plat
