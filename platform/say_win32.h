// Static text whose content is read once, when it is registered.
#pragma once

#include <functional>
#include <string>

#include "platform/dialog_item_win32.h"
#include "platform/dialog_win32.h"

namespace plat {

class TSay : public TDialogItem {
 public:
  static TSay* ReDefine(TDialog& owner, int id, const std::function<std::string()>& reader);

  TSay(int id, std::string text) : TDialogItem(id), text_(std::move(text)) {}
  const std::string& text() const { return text_; }

 protected:
  void on_attached() override;
  HBRUSH on_colour(HDC dc) override;

 private:
  std::string text_;
};

}  // namespace plat
