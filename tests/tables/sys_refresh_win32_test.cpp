// SYSREFRESH against the real message queue.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/sys_refresh.h"

namespace {

int g_seen = 0;

LRESULT CALLBACK count_messages(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_APP) ++g_seen;
  return DefWindowProcA(hwnd, msg, wp, lp);
}

class SysRefresh : public ::testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = count_messages;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "tables_test_queue";
    RegisterClassA(&wc);
    window = CreateWindowA("tables_test_queue", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(window);
    g_seen = 0;
  }
  void TearDown() override { DestroyWindow(window); }
  HWND window = nullptr;
};

TEST_F(SysRefresh, HandlesEveryWaitingMessage) {
  for (int i = 0; i < 3; ++i) PostMessageA(window, WM_APP, 0, 0);
  plat::SYSREFRESH();
  EXPECT_EQ(g_seen, 3);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(SysRefresh, LeavesAQuitRequestForTheMainLoop) {
  PostMessageA(window, WM_APP, 0, 0);
  PostQuitMessage(7);
  plat::SYSREFRESH();
  EXPECT_EQ(g_seen, 1);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 7u);
}

}  // namespace
