// A modal dialog built from a template in the current resource module. Controls are
// registered by id before Activate and attached to the template's windows when the
// dialog initialises; the dialog only ends when its close condition allows it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/dialog_item_win32.h"

namespace plat {

class TDialog : public DialogControl {
 public:
  // The template is looked up in the resource module current at this call.
  static std::unique_ptr<TDialog> New(std::string title, std::string template_name);

  TDialog(const TDialog&) = delete;
  TDialog& operator=(const TDialog&) = delete;
  ~TDialog() override;

  // Runs the dialog modally; returns once it has closed. `close_condition` is asked
  // each time the dialog is to end; an empty one always allows it.
  void Activate(std::function<bool()> close_condition, bool centred = true);

  // The close rule: when the condition allows, records `result` and ends the modal run.
  bool End(int result = 2) override;

  void Disable();

  // Takes ownership of a control; controls attach in the order they were added.
  template <class Item>
  Item* add(std::unique_ptr<Item> item) {
    Item* raw = item.get();
    items_.push_back(std::move(item));
    return raw;
  }

  HWND hwnd() const { return hwnd_; }
  int result() const { return result_; }
  bool active() const { return active_; }

 private:
  TDialog(std::string title, std::string template_name, HINSTANCE module);

  static INT_PTR CALLBACK dialog_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  INT_PTR handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void initialise(HWND hwnd);
  void attach_items(HWND hwnd);
  void centre(HWND hwnd);
  TDialogItem* item_by_id(int id) const;
  TDialogItem* item_by_window(HWND window) const;

  std::string title_;
  std::string template_name_;
  HINSTANCE module_;
  std::vector<std::unique_ptr<TDialogItem>> items_;
  std::function<bool()> close_condition_;
  bool centred_ = true;
  HWND hwnd_ = nullptr;
  int result_ = 0;
  bool active_ = true;
};

}  // namespace plat
