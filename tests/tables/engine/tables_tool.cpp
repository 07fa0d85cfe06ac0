// A command-line helper for the process-level tests of the table routines on the
// real engine. A Python script drives two of these at once: one holds a table or
// a record, the other runs a routine. The routine's waits are the script's to
// end: each prints "wait S" and goes on when the script sends a line, so nothing
// sleeps and the script decides when the other process lets go.
//
//   tables_tool create TABLE              a five-field table of three records
//   tables_tool hold-exclusive TABLE      "ready"; on a line, closes: "released"
//   tables_tool hold-record TABLE N       the same with a lock on record N
//   tables_tool netuse TABLE ATTEMPTS     LNETUSE, then "result true|false"
//   tables_tool netreclock TABLE N SECONDS
//   tables_tool netrecadd TABLE SECONDS
//   tables_tool roundtrip TABLE           ACAMPOSGRABA(ACAMPOSLEE()) on every record
//
// Errors print "error GEN OS description", message boxes "box TEXT|TITLE" in hex.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "ace32.h"
#include "ace32_errors.h"
#include "platform/error.h"
#include "platform/message_box.h"
#include "platform/sys_refresh.h"
#include "tables/ads_driver_tables.h"
#include "tables/driver_catalog.h"
#include "tables/field_arrays.h"
#include "tables/net_error.h"
#include "tables/net_routines.h"
#include "tables/segundos.h"
#include "tables/table_operations.h"
#include "tables/workareas.h"

namespace {

std::string hex(const std::string& s) {
  static const char* d = "0123456789abcdef";
  std::string out;
  for (unsigned char c : s) {
    out.push_back(d[c >> 4]);
    out.push_back(d[c & 15]);
  }
  return out;
}

void say(const std::string& line) {
  std::cout << line << std::endl;  // flushed: the script reads line by line
}

std::string wait_for_line() {
  std::string line;
  std::getline(std::cin, line);
  return line;
}

void install_recorders() {
  plat::set_error_handler([](const plat::Error& e) {
    say("error " + std::to_string(e.gen_code) + " " + std::to_string(e.os_code) + " " +
        plat::error_description(e));
    // The application's quiet cases.
    const bool refused_open = e.gen_code == plat::EG_OPEN && (e.os_code == 32 || e.os_code == 5);
    if ((refused_open || e.gen_code == plat::EG_APPENDLOCK) && e.can_default) tbl::set_neterr(true);
    return plat::ErrorAnswer::Default;
  });
  plat::set_message_box_presenter(
      [](const plat::MessageBoxRequest& r) { say("box " + hex(r.text) + "|" + hex(r.title)); });
  static double now = 0;
  tbl::set_wait_clock({[] { return now; },
                       [](double s) {
                         char buf[32];
                         std::snprintf(buf, sizeof buf, "wait %g", s);
                         say(buf);
                         wait_for_line();
                         now += s;
                       }});
  plat::set_sys_refresh_hook([] {});
  tbl::register_table_driver("ADS", std::make_shared<tbl::AdsTableDriver>([] { return 2; }));
  tbl::set_default_table_driver("ADS");
}

int fail(const char* what, uint32_t code) {
  std::fprintf(stderr, "%s failed: %u\n", what, code);
  return 1;
}

// Three records of OEM (code page 850) text: ñ á ü ç ¿ ¡ é Ú in the first two, and
// a box-drawing line (0xC4), which the ANSI code page lacks, in the third.
int create(const char* path) {
  ACE_HANDLE h = 0;
  uint32_t r = ace_create_table(path, nullptr, "NOMBRE,C,20,0;SALDO,N,10,2;ALTA,D;ACTIVO,L;NOTAS,M",
                                ACE_TABLE_CDX, ACE_OPEN_EXCLUSIVE, &h);
  if (r) return fail("create", r);
  const char* names[] = {"Pe\xA4" "a \xA0" "lvarez", "Mu\xA4" "oz \x81\x87\xA8\xAD", "L\xC4nea \xC4\xC4"};
  const char* notes[] = {"\xA8" "Qu\x82?\r\n\xE9ltima l\xA1nea", "ca\x87" "a", "\xC4\xC4\xC4"};
  for (int i = 0; i < 3; ++i) {
    if ((r = ace_append(h))) return fail("append", r);
    ace_set_string(h, 1, names[i], static_cast<uint32_t>(std::strlen(names[i])));
    ace_set_double(h, 2, 1234.5 * (i + 1));
    ace_set_julian(h, 3, 2455198 + i);
    ace_set_logical(h, 4, static_cast<uint16_t>(i % 2));
    ace_set_string(h, 5, notes[i], static_cast<uint32_t>(std::strlen(notes[i])));
  }
  ace_close_table(h);
  return 0;
}

int hold(const char* path, bool exclusive, uint32_t record) {
  ACE_HANDLE h = 0;
  uint32_t r = ace_open_table(path, nullptr, ACE_TABLE_CDX, exclusive ? ACE_OPEN_EXCLUSIVE : 0, &h);
  if (r) return fail("open", r);
  if (!exclusive && (r = ace_lock_record(h, record))) return fail("lock", r);
  say("ready");
  wait_for_line();
  ace_close_table(h);
  say("released");
  wait_for_line();  // the script ends us
  return 0;
}

void result(bool ok) { say(ok ? "result true" : "result false"); }

int roundtrip(const char* path) {
  if (!tbl::LNETUSE(path)) return 1;
  for (uint32_t n = 1; n <= 3; ++n) {
    tbl::DBGOTO(n);
    if (!tbl::RLOCK()) return 1;
    tbl::ACAMPOSGRABA(tbl::ACAMPOSLEE());
  }
  tbl::DBCLOSEAREA();
  say("done");
  return 0;
}

int run(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: tables_tool COMMAND TABLE ...\n");
    return 2;
  }
  const std::string cmd = argv[1];
  const char* table = argv[2];
  install_recorders();
  if (cmd == "create") return create(table);
  if (cmd == "hold-exclusive") return hold(table, true, 0);
  if (cmd == "hold-record" && argc > 3) return hold(table, false, static_cast<uint32_t>(std::atol(argv[3])));
  if (cmd == "netuse" && argc > 3) {
    result(tbl::LNETUSE(table, std::nullopt, std::atof(argv[3])));
    return 0;
  }
  if (cmd == "netreclock" && argc > 4) {
    if (!tbl::LNETUSE(table)) return 1;
    tbl::DBGOTO(static_cast<uint32_t>(std::atol(argv[3])));
    result(tbl::LNETRECLOCK(std::atof(argv[4])));
    say("recno " + std::to_string(tbl::RECNO()));
    return 0;
  }
  if (cmd == "netrecadd" && argc > 3) {
    if (!tbl::LNETUSE(table)) return 1;
    result(tbl::LNETRECADD(std::atof(argv[3])));
    say("recno " + std::to_string(tbl::RECNO()));
    return 0;
  }
  if (cmd == "roundtrip") return roundtrip(table);
  std::fprintf(stderr, "unknown command %s\n", cmd.c_str());
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const int code = run(argc, argv);
  // As the program does at its end: the tables first, then the engine.
  tbl::workspace().close_all();
  ace_exit();
  return code;
}
