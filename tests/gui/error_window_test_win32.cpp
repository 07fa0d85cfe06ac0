#include <windows.h>

#include <gtest/gtest.h>

#include "platform/error_window_win32.h"
#include "ui_script_win32.h"

namespace guitest {
namespace {

HWND error_window() { return find_dialog(plat::kErrorWindowTitle); }

struct Case {
  const char* name;
  bool can_retry;
  bool can_default;
  void (*answer)();
  plat::ErrorChoice expected;
};

void press(int id) { PostMessageA(GetDlgItem(error_window(), id), BM_CLICK, 0, 0); }

TEST(ErrorWindow, OffersOnlyTheAllowedChoicesAndAnswersThem) {
  const Case cases[] = {
      {"quit", false, false, [] { press(plat::kErrorQuitId); }, plat::ErrorChoice::Quit},
      {"esc", true, true,
       [] { PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0x00010001); },
       plat::ErrorChoice::Quit},
      {"close box", true, true,
       [] { PostMessageA(error_window(), WM_SYSCOMMAND, SC_CLOSE, 0); },
       plat::ErrorChoice::Quit},
      {"retry", true, false, [] { press(plat::kErrorRetryId); }, plat::ErrorChoice::Retry},
      {"default", false, true, [] { press(plat::kErrorDefaultId); },
       plat::ErrorChoice::Default},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    plat::ErrorWindowRequest request{"GUI/3  Cannot create Dialog Box: \r\nResource: PRINCIPAL",
                                     "Called from MAIN(12)\nCalled from (b)INIT(0)",
                                     c.can_retry, c.can_default, "C:\\Error.log"};
    UiScript script({
        [&] {
          HWND w = error_window();
          ASSERT_NE(w, nullptr);
          EXPECT_EQ(GetDlgItem(w, plat::kErrorRetryId) != nullptr, c.can_retry);
          EXPECT_EQ(GetDlgItem(w, plat::kErrorDefaultId) != nullptr, c.can_default);
          EXPECT_EQ(window_text(GetDlgItem(w, plat::kErrorQuitId)), "&Quit");
          EXPECT_EQ(window_text(GetDlgItem(w, plat::kErrorSeeLogId)), "See Error.log file");
          EXPECT_EQ(window_text(GetDlgItem(w, plat::kErrorMessageId)), request.message);
          EXPECT_EQ(window_text(GetDlgItem(w, plat::kErrorCallStackId)),
                    "Called from MAIN(12)\r\nCalled from (b)INIT(0)");
        },
        c.answer,
    });
    EXPECT_EQ(plat::show_error_window(request), c.expected);
    EXPECT_TRUE(script.finished());
  }
}

}  // namespace
}  // namespace guitest
