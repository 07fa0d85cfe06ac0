#include "windows_win32.h"

namespace e2e {
namespace {

constexpr UINT kSendTimeoutMs = 10000;

LRESULT send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, message, wparam, lparam, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result);
  return static_cast<LRESULT>(result);
}

DWORD window_process(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid;
}

}  // namespace

std::string window_text(HWND window) {
  const auto length = send(window, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const auto copied = send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<size_t>(copied));
  return text;
}

std::string class_name(HWND window) {
  char name[256] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

namespace {

struct TopWindowSearch {
  DWORD pid;
  std::vector<HWND> found;
};

BOOL CALLBACK collect_top_window(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TopWindowSearch*>(data);
  if (window_process(window) == search->pid && IsWindowVisible(window))
    search->found.push_back(window);
  return TRUE;
}

BOOL CALLBACK collect_child(HWND window, LPARAM data) {
  reinterpret_cast<std::vector<HWND>*>(data)->push_back(window);
  return TRUE;
}

}  // namespace

std::vector<HWND> visible_top_windows(DWORD process_id) {
  TopWindowSearch search{process_id, {}};
  EnumWindows(collect_top_window, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> child_windows(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(parent, collect_child, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND find_child_by_text(HWND parent, const std::string& text) {
  for (HWND child : child_windows(parent))
    if (window_text(child) == text) return child;
  return nullptr;
}

std::string all_child_texts(HWND parent) {
  std::string texts;
  for (HWND child : child_windows(parent)) texts += window_text(child) + "\n";
  return texts;
}

HWND wait_for_window(Process& process, const std::function<bool(HWND)>& accept,
                     DWORD timeout_ms) {
  HWND found = nullptr;
  poll_until(
      [&] {
        for (HWND window : visible_top_windows(process.id()))
          if (accept(window)) {
            found = window;
            return true;
          }
        return !process.running();
      },
      timeout_ms);
  return found;
}

HWND wait_for_window_titled(Process& process, const std::string& title, DWORD timeout_ms) {
  return wait_for_window(process, [&](HWND w) { return window_text(w) == title; }, timeout_ms);
}

std::vector<std::string> combo_items(HWND combo) {
  std::vector<std::string> items;
  const auto count = send(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const auto length = send(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0);
    std::string item(static_cast<size_t>(length) + 1, '\0');
    send(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item[0]));
    item.resize(static_cast<size_t>(length));
    items.push_back(item);
  }
  return items;
}

int combo_selection(HWND combo) { return static_cast<int>(send(combo, CB_GETCURSEL, 0, 0)); }

void choose_combo_item(HWND dialog, int combo_id, int index) {
  HWND combo = GetDlgItem(dialog, combo_id);
  send(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  send(dialog, WM_COMMAND, MAKEWPARAM(combo_id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void press(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void press(HWND dialog, int button_id) { press(GetDlgItem(dialog, button_id)); }

bool type_key(HWND dialog, UINT virtual_key, bool with_alt) {
  // The system turns F1 into a help request only on its way from the keyboard, so keys go
  // through the input queue of the dialog brought to the front.
  SetForegroundWindow(dialog);
  if (!poll_until([&] { return GetForegroundWindow() == dialog; })) return false;
  std::vector<INPUT> keys;
  auto key = [&](UINT vk, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(vk);
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, 0));
    input.ki.dwFlags = flags;
    keys.push_back(input);
  };
  if (with_alt) key(VK_MENU, 0);
  key(virtual_key, 0);
  key(virtual_key, KEYEVENTF_KEYUP);
  if (with_alt) key(VK_MENU, KEYEVENTF_KEYUP);
  return SendInput(static_cast<UINT>(keys.size()), keys.data(), sizeof(INPUT)) == keys.size();
}

HWND focused_window(HWND dialog) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

bool drain_input(HWND dialog) {
  // Typed keys are handled in order, and what handling them posts comes before any later
  // key. So once a typed Tab has moved the focus, everything typed before it is done.
  // Shift+Tab then puts the focus back.
  // Right after a modal box has closed, the focus may still be on its way back.
  if (!poll_until([&] { return !IsWindow(dialog) || IsChild(dialog, focused_window(dialog)); }))
    return false;
  const HWND before = focused_window(dialog);
  if (!type_key(dialog, VK_TAB)) return false;
  if (!poll_until([&] { return !IsWindow(dialog) || focused_window(dialog) != before; }))
    return false;
  if (!IsWindow(dialog)) return false;
  std::vector<INPUT> keys(4);
  const WORD order[4] = {VK_SHIFT, VK_TAB, VK_TAB, VK_SHIFT};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = order[i];
    keys[i].ki.wScan = static_cast<WORD>(MapVirtualKeyA(order[i], 0));
    keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  SendInput(4, keys.data(), sizeof(INPUT));
  return poll_until([&] { return !IsWindow(dialog) || focused_window(dialog) == before; }) &&
         IsWindow(dialog);
}

bool tab_to_class(HWND dialog, const std::string& window_class) {
  for (int step = 0; step < 8; ++step) {
    const HWND now = focused_window(dialog);
    if (now && class_name(now) == window_class) return true;
    if (!type_key(dialog, VK_TAB) || !poll_until([&] { return focused_window(dialog) != now; }))
      return false;
  }
  return false;
}

bool is_message_box(HWND window) {
  return class_name(window) == "#32770" && GetDlgItem(window, 110) == nullptr &&
         (GetDlgItem(window, IDOK) || GetDlgItem(window, IDCANCEL));
}

MessageBoxView wait_for_message_box(Process& process, DWORD timeout_ms) {
  MessageBoxView box;
  box.window = wait_for_window(process, is_message_box, timeout_ms);
  if (!box.window) return box;
  box.title = window_text(box.window);
  // The message is the box's text static (id 0xFFFF on every system we know); otherwise
  // the longest static text in it.
  HWND text = GetDlgItem(box.window, 0xFFFF);
  if (text) {
    box.text = window_text(text);
  } else {
    for (HWND child : child_windows(box.window))
      if (class_name(child) == "Static" && window_text(child).size() > box.text.size())
        box.text = window_text(child);
  }
  return box;
}

bool close_message_box(const MessageBoxView& box) {
  HWND button = GetDlgItem(box.window, IDOK);
  if (!button) button = GetDlgItem(box.window, IDCANCEL);
  press(button);
  return poll_until([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); });
}

}  // namespace e2e
