// End to end under Windows: another process holds a table exclusively, LNETUSE
// gives up and shows the system's alert box, which the UI script reads and closes.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ace32.h"
#include "platform/error.h"
#include "tables/ads_driver_tables.h"
#include "tables/driver_catalog.h"
#include "tables/net_error.h"
#include "tables/net_routines.h"
#include "tables/segundos.h"
#include "tables/workareas.h"
#include "ui_script_win32.h"

namespace {

namespace fs = std::filesystem;

// tables_tool in a process of its own, talked to through its standard handles.
class Holder {
 public:
  Holder(const std::string& command_line) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE child_in_read, child_out_write;
    CreatePipe(&child_in_read, &in_, &sa, 0);
    CreatePipe(&out_, &child_out_write, &sa, 0);
    SetHandleInformation(in_, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(out_, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = child_in_read;
    si.hStdOutput = child_out_write;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    std::string cmd = command_line;
    started_ = CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi_);
    CloseHandle(child_in_read);
    CloseHandle(child_out_write);
  }
  ~Holder() {
    CloseHandle(in_);
    if (started_) {
      WaitForSingleObject(pi_.hProcess, 60000);
      CloseHandle(pi_.hProcess);
      CloseHandle(pi_.hThread);
    }
    CloseHandle(out_);
  }
  bool started() const { return started_ != FALSE; }

  std::string line() {
    std::string text;
    char c;
    DWORD got = 0;
    while (ReadFile(out_, &c, 1, &got, nullptr) && got == 1 && c != '\n')
      if (c != '\r') text += c;
    return text;
  }
  void send(const std::string& text) {
    const std::string l = text + "\n";
    DWORD put = 0;
    WriteFile(in_, l.data(), static_cast<DWORD>(l.size()), &put, nullptr);
  }

 private:
  HANDLE in_ = nullptr, out_ = nullptr;
  PROCESS_INFORMATION pi_{};
  BOOL started_ = FALSE;
};

std::string beside_this_program(const char* name) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  return (fs::path(path).parent_path() / name).string();
}

TEST(AlertEndToEnd, TableHeldExclusivelyElsewhereShowsTheAlert) {
  const fs::path dir = fs::temp_directory_path() / "tables_alert_e2e";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string table = (dir / "clientes.dbf").string();
  ACE_HANDLE h = 0;
  ASSERT_EQ(ace_create_table(table.c_str(), nullptr, "NOMBRE,C,10,0", ACE_TABLE_CDX, ACE_OPEN_EXCLUSIVE, &h), 0u);
  ace_close_table(h);

  Holder holder("\"" + beside_this_program("tables_tool.exe") + "\" hold-exclusive \"" + table + "\"");
  ASSERT_TRUE(holder.started());
  ASSERT_EQ(holder.line(), "ready");

  // The application's quiet answer to a refused open; waits take no time here.
  auto saved_handler = plat::set_error_handler([](const plat::Error& e) {
    if (e.gen_code == plat::EG_OPEN && (e.os_code == 32 || e.os_code == 5) && e.can_default) tbl::set_neterr(true);
    return plat::ErrorAnswer::Default;
  });
  double now = 0;
  auto saved_clock = tbl::set_wait_clock({[&] { return now; }, [&](double s) { now += s; }});
  tbl::register_table_driver("ADS", std::make_shared<tbl::AdsTableDriver>([] { return 2; }));
  tbl::set_default_table_driver("ADS");

  std::string text, title;
  bool closed = false;
  guitest::UiScript script({[&] {
    HWND box = guitest::find_dialog("Atenci\xF3n");
    ASSERT_NE(box, nullptr);
    title = guitest::window_text(box);
    text = guitest::window_text(GetDlgItem(box, 0xFFFF));
    closed = PostMessageA(box, WM_COMMAND, IDOK, 0) != FALSE;
  }});
  EXPECT_FALSE(tbl::LNETUSE(table));
  EXPECT_TRUE(script.finished());
  EXPECT_TRUE(closed);
  EXPECT_EQ(title, "Atenci\xF3n");
  EXPECT_EQ(text, "Fichero(s) bloqueado(s). Acceso Denegado");

  holder.send("release");
  EXPECT_EQ(holder.line(), "released");
  holder.send("end");
  EXPECT_TRUE(tbl::LNETUSE(table));
  tbl::workspace().close_all();

  tbl::unregister_table_driver("ADS");
  tbl::set_wait_clock(saved_clock);
  plat::set_error_handler(saved_handler);
  fs::remove_all(dir);
}

}  // namespace
