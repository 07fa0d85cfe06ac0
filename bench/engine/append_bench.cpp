// Appends to a shared table with a character and a numeric tag, each append
// under the header lock, beside SQLite
// inserting the same rows into an indexed table in one transaction and the
// Debian python3-dbf appending (fewer rows, its rate scaled).
//
//   append_bench [RECORDS] [FOLDER]      defaults: 1000000, the current folder
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "ace32.h"
#include "dbf/record.h"
#include "order/order_layer.h"
#include "table/table.h"
#ifdef HAVE_SQLITE3
#include <sqlite3.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

// CPU time of this process, user and system: on a shared, busy machine the rate
// per CPU second says more than the rate per wall second.
double cpu_seconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }
double cpu0 = 0;

void row(long i, char* name, size_t size, double* amount) {
  std::snprintf(name, size, "NAME%07ld", (i * 7919) % 1000003);
  *amount = static_cast<double>(i % 100000) * 1.5;
}

void print(const char* what, long n, double secs, bool cpu = true) {
  double c = cpu_seconds() - cpu0;
  if (cpu)
    std::printf("%-54s %8ld rows %7.2f s %9.0f rows/s %9.0f rows/cpu-s\n", what, n, secs,
                static_cast<double>(n) / secs, static_cast<double>(n) / c);
  else
    std::printf("%-54s %8ld rows %7.2f s %9.0f rows/s\n", what, n, secs, static_cast<double>(n) / secs);
}

// The Table directly: a whole record per append under the header lock; with
// `lock_new`, the new record also locked (as a blank append must) and let go.
void engine_table(const std::string& path, long n, bool lock_new) {
  std::unique_ptr<ace::table::Table> t;
  ace::dbf::FieldDesc name, amount;
  name.name = "NAME";
  name.type = ace::dbf::FieldType::Character;
  name.length = 20;
  amount.name = "AMOUNT";
  amount.type = ace::dbf::FieldType::Numeric;
  amount.length = 12;
  amount.decimals = 2;
  // A structural bag with a character and a numeric tag, made on the table
  // opened exclusively; then the table is opened shared, its bag with it.
  ace::table::OpenOptions exclusive;
  exclusive.exclusive = true;
  ace::Status s = ace::table::Table::create(path, {name, amount}, {}, exclusive, &t);
  if (!s.ok()) return (void)std::printf("create failed: %s\n", s.text.c_str());
  ace::order::register_order_layer();
  size_t number = 0;
  for (const char* tag : {"NAME", "AMOUNT"})
    if (!(s = ace::order::orders_of(*t).create_order("", {tag, tag, "", false, false}, &number)).ok())
      return (void)std::printf("tag failed: %s\n", s.text.c_str());
  t.reset();
  if (!(s = ace::table::Table::open(path, {}, &t)).ok()) return (void)std::printf("open failed: %s\n", s.text.c_str());
  const auto& h = t->header();
  auto t0 = Clock::now();
  cpu0 = cpu_seconds();
  // Every field is written for each row, so one record buffer serves them all.
  std::string rec = ace::dbf::blank_record(h);
  for (long i = 0; i < n; ++i) {
    char text[32];
    double v;
    row(i, text, sizeof text, &v);
    ace::dbf::put_text(h, &rec, h.fields[0], text);
    ace::dbf::put_number(h, &rec, h.fields[1], v);
    uint32_t r;
    s = t->append(rec, &r, lock_new ? ace::table::Table::NewRecord::Locked : ace::table::Table::NewRecord::Unlocked);
    if (!s.ok()) return (void)std::printf("append failed: %s\n", s.text.c_str());
    if (lock_new) t->unlock_record(r);
  }
  print(lock_new ? "engine Table::append, + new record locked, released" : "engine Table::append, shared, header lock, 2 tags",
        n, seconds_since(t0));
}

// Through the C interface as the program's driver would: append, then two field
// writes to the locked new record.
void engine_api(const std::string& path, long n) {
  ACE_HANDLE h = 0;
  if (ace_create_table(path.c_str(), nullptr, "NAME,C,20;AMOUNT,N,12,2", ACE_TABLE_CDX, ACE_OPEN_EXCLUSIVE, &h) ||
      ace_create_index(h, nullptr, "NAME", "NAME", nullptr, 0, nullptr) ||
      ace_create_index(h, nullptr, "AMOUNT", "AMOUNT", nullptr, 0, nullptr) || ace_close_table(h) ||
      ace_open_table(path.c_str(), nullptr, ACE_TABLE_CDX, 0, &h))
    return (void)std::printf("create failed\n");
  auto t0 = Clock::now();
  cpu0 = cpu_seconds();
  for (long i = 0; i < n; ++i) {
    char text[32];
    double v;
    row(i, text, sizeof text, &v);
    if (ace_append(h) || ace_set_string(h, 1, text, 11) || ace_set_double(h, 2, v))
      return (void)std::printf("append failed at %ld\n", i);
  }
  print("engine C interface: append + 2 field writes, 2 tags", n, seconds_since(t0));
  ace_close_table(h);
}

void sqlite(const std::string& path, long n) {
#ifdef HAVE_SQLITE3
  std::remove(path.c_str());
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, "CREATE TABLE t(name TEXT, amount REAL); CREATE INDEX tn ON t(name); CREATE INDEX ta ON t(amount);",
               nullptr, nullptr, nullptr);
  auto t0 = Clock::now();
  cpu0 = cpu_seconds();
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?, ?)", -1, &st, nullptr);
  for (long i = 0; i < n; ++i) {
    char text[32];
    double v;
    row(i, text, sizeof text, &v);
    sqlite3_bind_text(st, 1, text, -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(st, 2, v);
    sqlite3_step(st);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  print("SQLite: one transaction, table with 2 indexes", n, seconds_since(t0));
  sqlite3_close(db);
  std::remove(path.c_str());
#else
  (void)path;
  (void)n;
  std::printf("SQLite: not built (libsqlite3-dev missing)\n");
#endif
}

// python3-dbf appends far slower, so it gets fewer rows; its rate is per second
// all the same.
void python_dbf(const std::string& path, long n) {
  std::string cmd =
      "/usr/bin/python3 -c \"\n"
      "import dbf, time\n"
      "t = dbf.Table('" + path + "', 'NAME C(20); AMOUNT N(12,2)', dbf_type='db3')\n"
      "t.open(dbf.READ_WRITE)\n"
      "t0 = time.monotonic()\n"
      "for i in range(" + std::to_string(n) + "):\n"
      "    t.append(('NAME%07d' % ((i * 7919) % 1000003), (i % 100000) * 1.5))\n"
      "print('%.3f' % (time.monotonic() - t0))\n"
      "t.close()\n\"";
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return;
  double secs = 0;
  int got = std::fscanf(p, "%lf", &secs);
  pclose(p);
  if (got == 1 && secs > 0) print("python3-dbf append (fewer rows, rate comparable)", n, secs, false);
  else std::printf("python3-dbf: not available\n");
}

}  // namespace

int main(int argc, char** argv) {
  long n = argc > 1 ? std::atol(argv[1]) : 1000000;
  std::string dir = argc > 2 ? argv[2] : ".";
  engine_table(dir + "/bench_table.dbf", n, false);
  engine_table(dir + "/bench_table.dbf", n, true);
  engine_api(dir + "/bench_api.dbf", n);
  sqlite(dir + "/bench.sqlite", n);
  python_dbf(dir + "/bench_py.dbf", n / 20 > 0 ? n / 20 : 1);
  for (const char* f : {"/bench_table.dbf", "/bench_table.cdx", "/bench_api.dbf", "/bench_api.cdx", "/bench_py.dbf"})
    std::remove((dir + f).c_str());
  return 0;
}
