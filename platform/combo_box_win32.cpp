#include "platform/combo_box_win32.h"

#include "platform/item_match.h"

namespace plat {

TComboBox* TComboBox::ReDefine(TDialog& owner, int id, Accessor accessor,
                               std::vector<std::string> items) {
  return owner.add(std::make_unique<TComboBox>(id, std::move(accessor), std::move(items)));
}

void TComboBox::on_attached() {
  SendMessageA(hwnd_, CB_RESETCONTENT, 0, 0);
  // Inserting at the end keeps the list's order even if the template asked for sorting.
  for (const std::string& item : items_) {
    SendMessageA(hwnd_, CB_INSERTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(item.c_str()));
  }
  select_bound_item();
}

void TComboBox::Refresh() {
  if (!hwnd_) return;
  select_bound_item();
  TDialogItem::Refresh();
}

void TComboBox::select_bound_item() {
  if (!accessor_) return;
  const int index = find_matching_item(items_, accessor_(std::nullopt));
  if (index >= 0) SendMessageA(hwnd_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::string TComboBox::selected_text() const {
  const LRESULT index = SendMessageA(hwnd_, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) {
    // An editable box holds typed text instead of a selection.
    char buf[256] = {};
    GetWindowTextA(hwnd_, buf, sizeof buf);
    return buf;
  }
  const LRESULT length = SendMessageA(hwnd_, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  SendMessageA(hwnd_, CB_GETLBTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

void TComboBox::on_command(int notification) {
  if (!accessor_) return;
  if (notification == CBN_SELCHANGE || notification == CBN_KILLFOCUS) {
    // With nothing selected there is no value to write.
    if (SendMessageA(hwnd_, CB_GETCURSEL, 0, 0) == CB_ERR &&
        GetWindowTextLengthA(hwnd_) == 0) {
      return;
    }
    accessor_(selected_text());
  }
}

HBRUSH TComboBox::on_colour(HDC dc) {
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  return GetSysColorBrush(COLOR_WINDOW);
}

}  // namespace plat
