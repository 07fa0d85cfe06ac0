#include "platform/bitmap_win32.h"

#include "platform/colour_key.h"
#include "platform/resources.h"

namespace plat {

namespace {

constexpr const char* kItemProperty = "plat.TBitmap";

// The pixels of a bitmap as 32-bit top-down rows; empty when it cannot be read.
std::vector<std::uint32_t> read_pixels(HBITMAP bitmap, int& width, int& height) {
  BITMAP info{};
  if (!GetObjectA(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) {
    return {};
  }
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = info.bmWidth;
  bi.bmiHeader.biHeight = -info.bmHeight;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(info.bmWidth) * info.bmHeight);
  HDC dc = GetDC(nullptr);
  const int rows = GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(),
                             &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  if (rows != info.bmHeight) return {};
  width = info.bmWidth;
  height = info.bmHeight;
  return pixels;
}

std::uint32_t as_rgb(COLORREF c) {
  return (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
         (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

}  // namespace

TBitmap* TBitmap::ReDefine(TDialog& owner, int id, const std::string& bitmap_name) {
  return owner.add(std::make_unique<TBitmap>(id, bitmap_name));
}

TBitmap::TBitmap(int id, const std::string& bitmap_name) : TDialogItem(id) {
  auto module = static_cast<HINSTANCE>(current_resource_module());
  auto bitmap = static_cast<HBITMAP>(
      LoadImageA(module, bitmap_name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!bitmap) return;  // a missing picture leaves the control empty, silently
  pixels_ = read_pixels(bitmap, width_, height_);
  DeleteObject(bitmap);
}

TBitmap::~TBitmap() { on_detached(); }

void TBitmap::on_attached() {
  if (!loaded()) return;
  SetPropA(hwnd_, kItemProperty, this);
  original_proc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(subclass_proc)));
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void TBitmap::on_detached() {
  if (!original_proc_ || !hwnd_ || !IsWindow(hwnd_)) {
    original_proc_ = nullptr;
    return;
  }
  SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_proc_));
  RemovePropA(hwnd_, kItemProperty);
  original_proc_ = nullptr;
}

LRESULT CALLBACK TBitmap::subclass_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<TBitmap*>(GetPropA(hwnd, kItemProperty));
  if (!self) return DefWindowProcA(hwnd, msg, wp, lp);
  WNDPROC original = self->original_proc_;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers the whole control
    case WM_PAINT:
      self->paint(hwnd);
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      RemovePropA(hwnd, kItemProperty);
      self->original_proc_ = nullptr;
      break;
    default:
      break;
  }
  return CallWindowProcA(original, hwnd, msg, wp, lp);
}

void TBitmap::paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));

  // Keyed at each paint, so a change of the system colours is followed.
  std::vector<std::uint32_t> shown = pixels_;
  apply_colour_key(shown, as_rgb(GetSysColor(COLOR_BTNFACE)));
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width_;
  bi.bmiHeader.biHeight = -height_;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width_), static_cast<DWORD>(height_), 0, 0, 0,
                    static_cast<UINT>(height_), shown.data(), &bi, DIB_RGB_COLORS);
  EndPaint(hwnd, &ps);
}

}  // namespace plat
