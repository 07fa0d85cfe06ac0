#include "platform/dialog_win32.h"

#include <cstdio>
#include <utility>

#include "platform/error.h"
#include "platform/message_box.h"
#include "platform/resources.h"
#include "platform/window_geometry.h"

namespace plat {

namespace {

constexpr const char* kSubsystem = "GUI";

// Neither failure allows a retry or a default: the dialog cannot go on without them.
void raise_gui_error(int gen_code, int sub_code, const char* description,
                     std::string operation) {
  Error e;
  e.gen_code = gen_code;
  e.subsystem = kSubsystem;
  e.sub_code = sub_code;
  e.description = description;
  e.severity = Severity::Error;
  e.operation = std::move(operation);
  raise_error(e);
}

std::string right_aligned(int value, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%*d", width, value);
  return buf;
}

}  // namespace

std::unique_ptr<TDialog> TDialog::New(std::string title, std::string template_name) {
  auto module = static_cast<HINSTANCE>(current_resource_module());
  return std::unique_ptr<TDialog>(new TDialog(std::move(title), std::move(template_name), module));
}

TDialog::TDialog(std::string title, std::string template_name, HINSTANCE module)
    : title_(std::move(title)), template_name_(std::move(template_name)), module_(module) {}

TDialog::~TDialog() = default;

void TDialog::Activate(std::function<bool()> close_condition, bool centred) {
  close_condition_ = std::move(close_condition);
  centred_ = centred;
  INT_PTR r = DialogBoxParamA(module_, template_name_.c_str(), nullptr, dialog_proc,
                              reinterpret_cast<LPARAM>(this));
  hwnd_ = nullptr;
  for (auto& item : items_) {
    if (item->hwnd_) item->on_detached();
    item->hwnd_ = nullptr;
  }
  // The modal run's failure shows as -1, read as a 16-bit number.
  if ((static_cast<unsigned>(r) & 0xFFFFu) == 0xFFFFu) {
    raise_gui_error(EG_CREATE, 3, "Cannot create Dialog Box",
                    "\r\nResource: " + template_name_);
  }
}

bool TDialog::End(int result) {
  if (close_condition_ && !close_condition_()) return false;
  result_ = result;
  if (hwnd_) EndDialog(hwnd_, result);
  hwnd_ = nullptr;
  return true;
}

void TDialog::Disable() {
  active_ = false;
  if (hwnd_) EnableWindow(hwnd_, FALSE);
}

INT_PTR CALLBACK TDialog::dialog_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG) SetWindowLongPtrA(hwnd, DWLP_USER, lp);
  auto* self = reinterpret_cast<TDialog*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  return self ? self->handle(hwnd, msg, wp, lp) : FALSE;
}

INT_PTR TDialog::handle(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      initialise(hwnd);
      return FALSE;  // the focus has been placed

    case WM_COMMAND: {
      const int id = LOWORD(wp);
      if (TDialogItem* item = item_by_id(id)) {
        item->on_command(HIWORD(wp));
        return TRUE;
      }
      if (id == IDCANCEL) {
        // Esc, the close box, Alt+F4 and the window menu's Close all end up here.
        End(2);
        return TRUE;
      }
      if (id == IDOK) {
        // Enter never closes this dialog; it moves on like Tab.
        SendMessageA(hwnd, WM_NEXTDLGCTL, 0, FALSE);
        return TRUE;
      }
      return FALSE;
    }

    case WM_CLOSE:
      End(2);
      return TRUE;

    case WM_HELP:
      MSGSTOP("No Help file available", " Attention");
      return TRUE;

    case WM_CTLCOLORDLG: {
      HDC dc = reinterpret_cast<HDC>(wp);
      SetTextColor(dc, RGB(0, 0, 0));
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
    }

    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(wp);
      HWND window = reinterpret_cast<HWND>(lp);
      TDialogItem* item = item_by_window(window);
      if (!item) item = item_by_window(GetParent(window));  // a combo box's edit or list
      if (item) {
        if (HBRUSH brush = item->on_colour(dc)) return reinterpret_cast<INT_PTR>(brush);
      }
      if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) {
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
      }
      return FALSE;
    }

    default:
      return FALSE;
  }
}

void TDialog::initialise(HWND hwnd) {
  hwnd_ = hwnd;
  attach_items(hwnd);
  if (centred_) centre(hwnd);
  SetWindowTextA(hwnd, title_.c_str());
  LONG_PTR ex = GetWindowLongPtrA(hwnd, GWL_EXSTYLE);
  SetWindowLongPtrA(hwnd, GWL_EXSTYLE, ex | WS_EX_CONTEXTHELP);
  SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  if (HWND first = GetNextDlgTabItem(hwnd, nullptr, FALSE)) SetFocus(first);
}

void TDialog::attach_items(HWND hwnd) {
  auto font = reinterpret_cast<WPARAM>(reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)));
  for (auto& item : items_) {
    HWND window = GetDlgItem(hwnd, item->id());
    if (!window) {
      // The control stays unattached: its operations do nothing from here on.
      raise_gui_error(EG_ARG, 1, "Non defined Id", "No: " + right_aligned(item->id(), 6));
      continue;
    }
    item->hwnd_ = window;
    if (font) SendMessageA(window, WM_SETFONT, font, FALSE);
    item->on_attached();
  }
}

void TDialog::centre(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  const int left = centred_origin(0, GetSystemMetrics(SM_CXSCREEN), r.right - r.left);
  const int top = centred_origin(0, GetSystemMetrics(SM_CYSCREEN), r.bottom - r.top);
  SetWindowPos(hwnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

TDialogItem* TDialog::item_by_id(int id) const {
  for (auto& item : items_) {
    if (item->id() == id && item->hwnd_) return item.get();
  }
  return nullptr;
}

TDialogItem* TDialog::item_by_window(HWND window) const {
  if (!window) return nullptr;
  for (auto& item : items_) {
    if (item->hwnd_ == window) return item.get();
  }
  return nullptr;
}

}  // namespace plat
