// What every control of a TDialog shares: its id in the template, the window it is
// attached to when the dialog initialises, and the active flag.
#pragma once

#include <windows.h>

#include "platform/controls.h"

namespace plat {

class TDialog;

class TDialogItem : public Control {
 public:
  explicit TDialogItem(int id) : id_(id) {}
  TDialogItem(const TDialogItem&) = delete;
  TDialogItem& operator=(const TDialogItem&) = delete;

  int id() const { return id_; }
  HWND hwnd() const { return hwnd_; }
  bool active() const { return active_; }

  // Marks the control inactive and disables its window.
  void Disable() override;
  // Invalidates the window, background included, so that it repaints.
  void Refresh() override;

 protected:
  friend class TDialog;

  // Called once the item has its window, in registration order.
  virtual void on_attached() {}
  virtual void on_detached() {}
  // WM_COMMAND notifications sent for this control.
  virtual void on_command(int /*notification*/) {}
  // WM_CTLCOLOR* for this control: a brush, or nullptr for the system's colours.
  virtual HBRUSH on_colour(HDC /*dc*/) { return nullptr; }

  HWND hwnd_ = nullptr;

 private:
  int id_;
  bool active_ = true;
};

}  // namespace plat
