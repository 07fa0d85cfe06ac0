// A picture drawn at its natural size from the control's top-left corner, with the
// colour of its top-left pixel shown as the dialog's button face.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dialog_item_win32.h"
#include "platform/dialog_win32.h"

namespace plat {

class TBitmap : public TDialogItem {
 public:
  // The bitmap is loaded now, from the current resource module.
  static TBitmap* ReDefine(TDialog& owner, int id, const std::string& bitmap_name);

  TBitmap(int id, const std::string& bitmap_name);
  ~TBitmap() override;

  bool loaded() const { return !pixels_.empty(); }
  int width() const { return width_; }
  int height() const { return height_; }

 protected:
  void on_attached() override;
  void on_detached() override;

 private:
  static LRESULT CALLBACK subclass_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  void paint(HWND hwnd);

  std::vector<std::uint32_t> pixels_;  // 0x00RRGGBB, top-down, as loaded
  int width_ = 0;
  int height_ = 0;
  WNDPROC original_proc_ = nullptr;
};

}  // namespace plat
