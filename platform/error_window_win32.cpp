#include "platform/error_window_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/dialog_template_win32.h"

namespace plat {

namespace {

constexpr short kWidth = 320;
constexpr short kHeight = 196;
constexpr short kMargin = 7;
constexpr short kButtonHeight = 14;
constexpr short kButtonWidth = 50;
constexpr short kGap = 4;

// The edit control only breaks lines at CR LF.
std::string with_crlf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

void open_log(HWND owner, const std::string& log_path) {
  const std::string quoted = "\"" + log_path + "\"";
  ShellExecuteA(owner, "open", "notepad.exe", quoted.c_str(), nullptr, SW_SHOWNORMAL);
}

INT_PTR CALLBACK error_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      SetWindowLongPtrA(hwnd, DWLP_USER, lp);
      const auto* request = reinterpret_cast<const ErrorWindowRequest*>(lp);
      SetWindowTextA(hwnd, kErrorWindowTitle);
      SetDlgItemTextA(hwnd, kErrorMessageId, with_crlf(request->message).c_str());
      SetDlgItemTextA(hwnd, kErrorCallStackId, with_crlf(request->call_stack).c_str());
      SetDlgItemTextA(hwnd, kErrorQuitId, "&Quit");
      SetDlgItemTextA(hwnd, kErrorRetryId, "&Retry");
      SetDlgItemTextA(hwnd, kErrorDefaultId, "&Default");
      SetDlgItemTextA(hwnd, kErrorSeeLogId, "See Error.log file");
      RECT r;
      GetWindowRect(hwnd, &r);
      SetWindowPos(hwnd, HWND_TOP,
                   (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                   (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 0, 0, SWP_NOSIZE);
      SetFocus(GetDlgItem(hwnd, kErrorQuitId));
      return FALSE;
    }
    case WM_COMMAND:
      switch (LOWORD(wp)) {
        case kErrorQuitId:
        case IDCANCEL:
          EndDialog(hwnd, static_cast<INT_PTR>(ErrorChoice::Quit));
          return TRUE;
        case kErrorRetryId:
          EndDialog(hwnd, static_cast<INT_PTR>(ErrorChoice::Retry));
          return TRUE;
        case kErrorDefaultId:
          EndDialog(hwnd, static_cast<INT_PTR>(ErrorChoice::Default));
          return TRUE;
        case kErrorSeeLogId: {
          const auto* request =
              reinterpret_cast<const ErrorWindowRequest*>(GetWindowLongPtrA(hwnd, DWLP_USER));
          open_log(hwnd, request->log_path);
          return TRUE;
        }
        default:
          return FALSE;
      }
    case WM_CLOSE:
      EndDialog(hwnd, static_cast<INT_PTR>(ErrorChoice::Quit));
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

ErrorChoice show_error_window(const ErrorWindowRequest& request) {
  DialogTemplate t(DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_SETFOREGROUND, kWidth,
                   kHeight, L"MS Shell Dlg", 8);
  const short inner = kWidth - 2 * kMargin;
  const short buttons_y = kHeight - kMargin - kButtonHeight;
  t.add(DialogTemplate::Kind::Static, kErrorMessageId, SS_LEFT | SS_NOPREFIX, kMargin, kMargin,
        inner, 30);
  t.add(DialogTemplate::Kind::Edit, kErrorCallStackId,
        ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL |
            WS_BORDER | WS_TABSTOP,
        kMargin, kMargin + 34, inner, buttons_y - kMargin - 34 - kMargin);
  t.add(DialogTemplate::Kind::Button, kErrorSeeLogId, BS_PUSHBUTTON | WS_TABSTOP, kMargin,
        buttons_y, 80, kButtonHeight);

  // The choices line up from the right edge: Default, Retry, then Quit.
  short x = kWidth - kMargin - kButtonWidth;
  t.add(DialogTemplate::Kind::Button, kErrorQuitId, BS_DEFPUSHBUTTON | WS_TABSTOP, x, buttons_y,
        kButtonWidth, kButtonHeight);
  if (request.can_retry) {
    x = static_cast<short>(x - kButtonWidth - kGap);
    t.add(DialogTemplate::Kind::Button, kErrorRetryId, BS_PUSHBUTTON | WS_TABSTOP, x, buttons_y,
          kButtonWidth, kButtonHeight);
  }
  if (request.can_default) {
    x = static_cast<short>(x - kButtonWidth - kGap);
    t.add(DialogTemplate::Kind::Button, kErrorDefaultId, BS_PUSHBUTTON | WS_TABSTOP, x,
          buttons_y, kButtonWidth, kButtonHeight);
  }

  const INT_PTR r = DialogBoxIndirectParamA(GetModuleHandleA(nullptr), t.get(), GetActiveWindow(),
                                            error_proc, reinterpret_cast<LPARAM>(&request));
  if (r == static_cast<INT_PTR>(ErrorChoice::Retry) && request.can_retry) return ErrorChoice::Retry;
  if (r == static_cast<INT_PTR>(ErrorChoice::Default) && request.can_default) {
    return ErrorChoice::Default;
  }
  if (r == -1) {
    // Not even a window from memory: the user still learns why the program ends.
    MessageBoxA(nullptr, request.message.c_str(), kErrorWindowTitle, MB_OK | MB_ICONSTOP);
  }
  return ErrorChoice::Quit;
}

void install_error_window() { set_error_window_presenter(show_error_window); }

}  // namespace plat
