// Drop-down list bound to a text value: a selection change and the loss of focus
// write the value; Refresh selects the item that matches it without writing.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog_item_win32.h"
#include "platform/dialog_win32.h"

namespace plat {

class TComboBox : public TDialogItem {
 public:
  // Called without a value it yields the bound value; with one it stores and yields it.
  using Accessor = std::function<std::string(const std::optional<std::string>&)>;

  static TComboBox* ReDefine(TDialog& owner, int id, Accessor accessor,
                             std::vector<std::string> items);

  TComboBox(int id, Accessor accessor, std::vector<std::string> items)
      : TDialogItem(id), accessor_(std::move(accessor)), items_(std::move(items)) {}

  void Refresh() override;

  const std::vector<std::string>& items() const { return items_; }

 protected:
  void on_attached() override;
  void on_command(int notification) override;
  HBRUSH on_colour(HDC dc) override;

 private:
  void select_bound_item();
  std::string selected_text() const;

  Accessor accessor_;
  std::vector<std::string> items_;
};

}  // namespace plat
