// Reading and working the windows of another process, the way a user would see them:
// texts through WM_GETTEXT, combo items through CB_GETLBTEXT, presses through a posted
// BM_CLICK. Every wait polls an observable condition with a time limit.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "poll_win32.h"
#include "process_win32.h"

namespace e2e {

std::string window_text(HWND window);
std::string class_name(HWND window);
std::vector<HWND> visible_top_windows(DWORD process_id);
std::vector<HWND> child_windows(HWND parent);
// The first child (at any depth) whose text is exactly `text`; null when none.
HWND find_child_by_text(HWND parent, const std::string& text);
// The texts of all children, joined by newlines: what a reader of the window sees.
std::string all_child_texts(HWND parent);

// The first visible top-level window of the process that satisfies `accept`; null when
// the process ends or the time runs out first.
HWND wait_for_window(Process& process, const std::function<bool(HWND)>& accept,
                     DWORD timeout_ms = kWaitMs);
HWND wait_for_window_titled(Process& process, const std::string& title,
                            DWORD timeout_ms = kWaitMs);

std::vector<std::string> combo_items(HWND combo);
int combo_selection(HWND combo);
// Chooses an item as the user would: select it, then send the dialog the selection-change
// notification that the box's binding listens to.
void choose_combo_item(HWND dialog, int combo_id, int index);

// Posted, so the test goes on while the press runs (it may open a modal box).
void press(HWND button);
void press(HWND dialog, int button_id);

// A key typed on the keyboard (with Alt held when asked) into the focused control of the
// dialog brought to the front. Only one test may type at a time: they share the desktop.
bool type_key(HWND dialog, UINT virtual_key, bool with_alt = false);
// Moves the focus with Tab until a control of the class has it; false when none takes it.
bool tab_to_class(HWND dialog, const std::string& window_class);
// The control that has the keyboard focus in the dialog's thread.
HWND focused_window(HWND dialog);
// Returns once the dialog's thread has handled every key typed before the call and what
// that posted in turn; false when the dialog went away meanwhile.
bool drain_input(HWND dialog);

// A system message box: a #32770 window without the controls of our own dialog.
struct MessageBoxView {
  HWND window = nullptr;
  std::string title;
  std::string text;
};
bool is_message_box(HWND window);
MessageBoxView wait_for_message_box(Process& process, DWORD timeout_ms = kWaitMs);
// Presses OK (or the only button) and waits until the box is gone.
bool close_message_box(const MessageBoxView& box);

}  // namespace e2e
