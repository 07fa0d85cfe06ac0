#include "ui_script_win32.h"

#include <string>

#include <gtest/gtest.h>

namespace guitest {

namespace {

constexpr UINT kStepMessage = WM_APP + 17;
constexpr int kHopsPerStep = 4;
constexpr const char* kClassName = "guitest.UiScript";

void register_class() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kClassName;
  RegisterClassA(&wc);
  registered = true;
}

}  // namespace

UiScript::UiScript(std::vector<Step> steps) : steps_(std::move(steps)) {
  register_class();
  hwnd_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
  if (!steps_.empty()) PostMessageA(hwnd_, kStepMessage, 0, 0);
}

UiScript::~UiScript() { DestroyWindow(hwnd_); }

LRESULT CALLBACK UiScript::proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kStepMessage) {
    reinterpret_cast<UiScript*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA))->advance();
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wp, lp);
}

void UiScript::advance() {
  if (++hops_ < kHopsPerStep) {
    PostMessageA(hwnd_, kStepMessage, 0, 0);
    return;
  }
  hops_ = 0;
  if (next_ == steps_.size()) {
    rescue();
    return;
  }
  const std::size_t current = next_++;
  steps_[current]();
  PostMessageA(hwnd_, kStepMessage, 0, 0);
}

namespace {

BOOL CALLBACK end_dialog(HWND hwnd, LPARAM lp) {
  char cls[32] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (std::string(cls) == "#32770") {
    EndDialog(hwnd, 0);
    *reinterpret_cast<bool*>(lp) = true;
  }
  return TRUE;
}

}  // namespace

void UiScript::rescue() {
  // Every step has run and a dialog is still open: a step failed to close it.
  // End it, so that a failing test does not hang the run.
  bool ended = false;
  EnumThreadWindows(GetCurrentThreadId(), end_dialog, reinterpret_cast<LPARAM>(&ended));
  if (ended) ADD_FAILURE() << "a dialog was still open after the last step";
}

namespace {

struct Search {
  const char* title;
  HWND found;
};

BOOL CALLBACK match_window(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  char cls[32] = {};
  GetClassNameA(hwnd, cls, sizeof cls);
  if (std::string(cls) == "#32770" && window_text(hwnd) == s->title) {
    s->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND find_dialog(const char* title) {
  Search s{title, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), match_window, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

std::string window_text(HWND hwnd) {
  char buf[512] = {};
  GetWindowTextA(hwnd, buf, sizeof buf);
  return buf;
}

}  // namespace guitest
