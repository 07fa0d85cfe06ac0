#include <windows.h>

#include "main_dialog_fixture_win32.h"
#include "platform/button_win32.h"
#include "platform/say_win32.h"
#include "platform/window_geometry.h"
#include "ui_script_win32.h"

namespace guitest {
namespace {

HWND dialog_window() { return find_dialog(kTitle); }
HWND item(int id) { return GetDlgItem(dialog_window(), id); }

void click(int id) { PostMessageA(item(id), BM_CLICK, 0, 0); }

void choose_drive(const char* letter) {
  HWND box = item(110);
  const LRESULT index = SendMessageA(box, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(letter));
  SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(dialog_window(), WM_COMMAND, MAKEWPARAM(110, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(box));
}

int selected_index() { return static_cast<int>(SendMessageA(item(110), CB_GETCURSEL, 0, 0)); }

std::uint32_t face_colour() { return GetSysColor(COLOR_BTNFACE) & 0xFFFFFF; }

TEST_F(MainDialogTest, OpensCentredWithTitlePromptDrivesAndKeyedPicture) {
  inst::ModuleState& state = inst::module_state();
  UiScript script({
      [&] {
        HWND dlg = dialog_window();
        ASSERT_NE(dlg, nullptr);
        EXPECT_EQ(window_text(item(101)), kPrompt);
        EXPECT_EQ(GetWindowLongPtrA(dlg, GWL_EXSTYLE) & WS_EX_CONTEXTHELP, WS_EX_CONTEXTHELP);
        RECT r;
        GetWindowRect(dlg, &r);
        EXPECT_EQ(r.left, plat::centred_origin(0, GetSystemMetrics(SM_CXSCREEN), r.right - r.left));
        EXPECT_EQ(r.top, plat::centred_origin(0, GetSystemMetrics(SM_CYSCREEN), r.bottom - r.top));
        EXPECT_EQ(GetFocus(), item(110)) << "first control of the tab order";

        HWND box = item(110);
        ASSERT_EQ(SendMessageA(box, CB_GETCOUNT, 0, 0), 23);
        for (int i = 0; i < 23; ++i) {
          char text[8] = {};
          SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
          EXPECT_EQ(text, drive_letters()[i]) << i;
        }
        EXPECT_EQ(selected_index(), 0);

        EXPECT_NE(dynamic_cast<plat::TSay*>(state.static_text_holder.at(0)), nullptr);
        EXPECT_NE(dynamic_cast<plat::TButton*>(values.button_pair[0]), nullptr);
        EXPECT_TRUE(dynamic_cast<plat::TButton*>(values.button_pair[1])->is_cancel());

        // The key colour shows as the button face, the artwork does not.
        HWND picture = item(700);
        UpdateWindow(picture);
        HDC dc = GetDC(picture);
        EXPECT_EQ(GetPixel(dc, 0, 0) & 0xFFFFFF, face_colour());
        EXPECT_NE(GetPixel(dc, 48, 48) & 0xFFFFFF, face_colour());
        RECT client;
        GetClientRect(picture, &client);
        if (client.right > 96) {
          EXPECT_EQ(GetPixel(dc, client.right - 1, 10) & 0xFFFFFF, face_colour())
              << "beyond the picture";
        }
        ReleaseDC(picture, dc);
      },
      [] { click(551); },
  });
  run();
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(state.close_allowed, true);
  EXPECT_EQ(state.selected_drive, "C");
  EXPECT_EQ(install_calls, 0);
  EXPECT_TRUE(boxes.empty());
  EXPECT_TRUE(errors.empty());
  EXPECT_EQ(state.static_text_holder.at(0), nullptr) << "no pointer outlives the dialog";
}

TEST_F(MainDialogTest, CloseRequestsChangeNothingWhileTheFlagIsFalse) {
  struct Request {
    const char* name;
    void (*send)();
  } requests[] = {
      {"Esc", [] { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001); }},
      {"cancel command", [] { PostMessageA(dialog_window(), WM_COMMAND, IDCANCEL, 0); }},
      {"close box", [] { PostMessageA(dialog_window(), WM_SYSCOMMAND, SC_CLOSE, 0); }},
      {"WM_CLOSE", [] { PostMessageA(dialog_window(), WM_CLOSE, 0, 0); }},
      {"Alt+F4",
       [] { PostMessageA(dialog_window(), WM_SYSKEYDOWN, VK_F4, 0x203E0001); }},
      {"accept command", [] { PostMessageA(dialog_window(), WM_COMMAND, IDOK, 0); }},
  };
  std::vector<UiScript::Step> steps;
  for (const Request& r : requests) {
    steps.push_back(r.send);
    steps.push_back([name = r.name] {
      EXPECT_NE(dialog_window(), nullptr) << name << " closed the dialog";
    });
  }
  // Enter on the drive box is the accept command: it moves on to the next control.
  steps.push_back([] {
    SetFocus(item(110));
    PostMessageA(item(110), WM_KEYDOWN, VK_RETURN, 0x001C0001);
  });
  steps.push_back([] {
    EXPECT_NE(dialog_window(), nullptr);
    EXPECT_EQ(GetFocus(), item(550));
  });
  // Once the flag allows it, the same cancel command closes the dialog.
  steps.push_back([] {
    inst::module_state().close_allowed = true;
    PostMessageA(dialog_window(), WM_COMMAND, IDCANCEL, 0);
  });
  UiScript script(steps);
  run();
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(install_calls, 0);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(MainDialogTest, DriveBoxWritesOnSelectionAndFocusLoss) {
  inst::ModuleState& state = inst::module_state();
  UiScript script({
      [&] {
        EXPECT_EQ(SendMessageA(item(110), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>("W")),
                  CB_ERR)
            << "there is no drive W to choose";
        choose_drive("F");
        EXPECT_EQ(state.selected_drive, "F");
        choose_drive("F");
        EXPECT_EQ(state.selected_drive, "F");
        // A selection made without notifying is written when the box loses the focus.
        SetFocus(item(110));
        SendMessageA(item(110), CB_SETCURSEL, 22, 0);
        SetFocus(item(551));
        EXPECT_EQ(state.selected_drive, "Z");
      },
      [] { click(551); },
  });
  run();
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(state.selected_drive, "Z");
}

TEST_F(MainDialogTest, InstallHandsOverItsValuesAndIgnoresPressesWhileRunning) {
  inst::ModuleState& state = inst::module_state();
  std::string drive_seen;
  int nested_calls = -1;
  install_action = [&](InstallCall& call) {
    drive_seen = state.selected_drive;
    EXPECT_EQ(call.help_path, values.help_path);
    EXPECT_EQ(&call.static_holder, &state.static_text_holder);
    EXPECT_EQ(&call.buttons, &values.button_pair);
    call.drive_box.Disable();
    call.buttons[0]->Disable();
    call.buttons[1]->Disable();
    EXPECT_FALSE(IsWindowEnabled(item(110)));
    EXPECT_FALSE(IsWindowEnabled(item(550)));
    EXPECT_FALSE(IsWindowEnabled(item(551)));

    // A press arriving while the action runs (a message box pumps messages).
    SendMessageA(dialog_window(), WM_COMMAND, MAKEWPARAM(550, BN_CLICKED),
                 reinterpret_cast<LPARAM>(item(550)));
    nested_calls = install_calls;

    // Refresh selects the item of the bound value, ignoring case and blanks, silently.
    state.selected_drive = " m ";
    call.drive_box.Refresh();
    EXPECT_EQ(selected_index(), 10);
    EXPECT_EQ(state.selected_drive, " m ");

    EXPECT_FALSE(call.dialog.End()) << "the flag is still false";
  };
  UiScript script({
      [] { choose_drive("X"); },
      [] { click(550); },
      // Disabled buttons take no press, even one sent straight to the dialog.
      [] {
        SendMessageA(dialog_window(), WM_COMMAND, MAKEWPARAM(551, BN_CLICKED),
                     reinterpret_cast<LPARAM>(item(551)));
        SendMessageA(dialog_window(), WM_COMMAND, MAKEWPARAM(550, BN_CLICKED),
                     reinterpret_cast<LPARAM>(item(550)));
      },
      [] {
        EXPECT_NE(dialog_window(), nullptr);
        inst::module_state().close_allowed = true;
        PostMessageA(dialog_window(), WM_COMMAND, IDCANCEL, 0);
      },
  });
  run();
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(drive_seen, "X");
  EXPECT_EQ(nested_calls, 1);
  EXPECT_EQ(install_calls, 1);
  EXPECT_EQ(values.button_pair[0], nullptr);
}

TEST_F(MainDialogTest, InstallEndingTheDialogClosesIt) {
  install_action = [](InstallCall& call) {
    inst::module_state().close_allowed = true;
    EXPECT_TRUE(call.dialog.End());
    plat::MSGINFO("hecho", " Atenci\xF3n");
  };
  UiScript script({[] { click(550); }});
  run();
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(install_calls, 1);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "hecho");
}

TEST_F(MainDialogTest, HelpRequestShowsTheStopMessageAndNothingElse) {
  UiScript script({
      [] {
        HELPINFO help{};
        help.cbSize = sizeof help;
        help.iContextType = HELPINFO_WINDOW;
        help.iCtrlId = 110;
        help.hItemHandle = item(110);
        SendMessageA(dialog_window(), WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
      },
      [] { click(551); },
  });
  run();
  EXPECT_TRUE(script.finished());
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, plat::BoxIcon::Stop);
  EXPECT_EQ(boxes[0].text, "No Help file available");
  EXPECT_EQ(boxes[0].title, " Attention");
  EXPECT_EQ(inst::module_state().selected_drive, "C");
  EXPECT_TRUE(errors.empty());
}

TEST_F(MainDialogTest, LibraryWithoutTheTemplateRaisesCannotCreateDialogBox) {
  use_resources("kernel32.dll");
  UiScript script({[] { ADD_FAILURE() << "a dialog ran"; }});
  run();
  ASSERT_EQ(errors.size(), 1u);
  const plat::Error& e = errors[0];
  EXPECT_EQ(e.description, "Cannot create Dialog Box");
  EXPECT_EQ(e.operation, "\r\nResource: PRINCIPAL");
  EXPECT_EQ(e.subsystem, "GUI");
  EXPECT_EQ(e.sub_code, 3);
  EXPECT_EQ(e.severity, plat::Severity::Error);
  EXPECT_FALSE(e.can_default);
  EXPECT_EQ(install_calls, 0);
}

TEST_F(MainDialogTest, TemplateLackingAnIdRaisesNonDefinedIdAndStillRuns) {
  // Without the library the program's own file is searched: its template has no
  // install button and it holds no picture.
  use_resources("no-such-library.dll");
  UiScript script({
      [] {
        ASSERT_NE(dialog_window(), nullptr);
        EXPECT_EQ(window_text(item(101)), kPrompt);
      },
      [] { click(551); },
  });
  run();
  EXPECT_TRUE(script.finished());
  ASSERT_EQ(errors.size(), 1u);
  const plat::Error& e = errors[0];
  EXPECT_EQ(e.description, "Non defined Id");
  EXPECT_EQ(e.operation, "No:    550");
  EXPECT_EQ(e.subsystem, "GUI");
  EXPECT_EQ(e.sub_code, 1);
  EXPECT_FALSE(e.can_default);
  EXPECT_EQ(inst::module_state().close_allowed, true);
}

}  // namespace
}  // namespace guitest
