#include "platform/say_win32.h"

namespace plat {

TSay* TSay::ReDefine(TDialog& owner, int id, const std::function<std::string()>& reader) {
  return owner.add(std::make_unique<TSay>(id, reader ? reader() : std::string()));
}

void TSay::on_attached() { SetWindowTextA(hwnd_, text_.c_str()); }

HBRUSH TSay::on_colour(HDC dc) {
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return GetSysColorBrush(COLOR_BTNFACE);
}

}  // namespace plat
