// A tag built over a table's records (keys evaluated from every record, sorted,
// pages written) beside std::sort of the same keys, the floor of any build; and
// random seeks through the C interface beside SQLite's indexed point lookups.
//
//   order_bench [RECORDS] [SEEKS] [FOLDER]    defaults: 1000000, 100000, "."
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ace32.h"
#include "dbf/record.h"
#include "order/order_layer.h"
#include "table/table.h"
#ifdef HAVE_SQLITE3
#include <sqlite3.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;
double since(Clock::time_point t0) { return std::chrono::duration<double>(Clock::now() - t0).count(); }

std::string name_of(long i) {
  char b[32];
  std::snprintf(b, sizeof b, "NAME%07ld", (i * 7919) % 1000003);
  return b;
}

// The table, written once with whole records, exclusive.
bool make_table(const std::string& path, long n) {
  ace::dbf::FieldDesc name, amount;
  name.name = "NAME";
  name.type = ace::dbf::FieldType::Character;
  name.length = 20;
  amount.name = "AMOUNT";
  amount.type = ace::dbf::FieldType::Numeric;
  amount.length = 12;
  amount.decimals = 2;
  ace::table::OpenOptions ex;
  ex.exclusive = true;
  std::unique_ptr<ace::table::Table> t;
  if (!ace::table::Table::create(path, {name, amount}, {}, ex, &t).ok()) return false;
  const auto& h = t->header();
  std::string rec = ace::dbf::blank_record(h);
  for (long i = 0; i < n; ++i) {
    ace::dbf::put_text(h, &rec, h.fields[0], name_of(i));
    ace::dbf::put_number(h, &rec, h.fields[1], static_cast<double>(i % 100000) * 1.5);
    uint32_t r;
    if (!t->append(rec, &r).ok()) return false;
  }
  return true;
}

void build(const std::string& path, long n) {
  std::unique_ptr<ace::table::Table> t;
  ace::table::OpenOptions ex;
  ex.exclusive = true;
  if (!ace::table::Table::open(path, ex, &t).ok()) return (void)std::printf("open failed\n");
  ace::order::TableOrders& orders = ace::order::orders_of(*t);
  size_t number;
  for (const char* tag : {"NAME", "AMOUNT"}) {
    auto t0 = Clock::now();
    ace::Status s = orders.create_order("", {tag, tag, "", false, false}, &number);
    double ours = since(t0);
    if (!s.ok()) return (void)std::printf("build failed: %s\n", s.text.c_str());
    // The floor: the same keys already in memory, sorted.
    std::vector<std::string> keys;
    keys.reserve(static_cast<size_t>(n));
    std::string rec, key;
    bool in;
    for (uint32_t r = 1; r <= static_cast<uint32_t>(n); ++r) {
      t->read_record(r, &rec);
      orders.key_of(*orders.order(number), r, rec, &key, &in);
      keys.push_back(key);
    }
    t0 = Clock::now();
    std::sort(keys.begin(), keys.end());
    double floor = since(t0);
    std::printf("tag build %-6s %8ld records %7.2f s   std::sort of the keys %7.2f s   ratio %.2f\n", tag, n, ours,
                floor, ours / floor);
  }
}

void seeks(const std::string& path, long n, long count) {
  ACE_HANDLE h;
  if (ace_open_table(path.c_str(), nullptr, ACE_TABLE_CDX, 0, &h) || ace_set_order_by_name(h, "NAME"))
    return (void)std::printf("open failed\n");
  std::mt19937 rng(42);
  std::vector<std::string> wanted;
  for (long i = 0; i < count; ++i) wanted.push_back(name_of(static_cast<long>(rng() % static_cast<unsigned>(n))));
  long hits = 0;
  auto t0 = Clock::now();
  for (const auto& k : wanted) {
    uint16_t found = 0;
    if (ace_seek(h, k.data(), static_cast<uint32_t>(k.size()), 0, &found)) return (void)std::printf("seek failed\n");
    hits += found;
  }
  double ours = since(t0);
  ace_close_table(h);
  std::printf("seeks, C interface, shared   %8ld seeks %7.2f s %9.0f seeks/s (%ld found)\n", count, ours,
              static_cast<double>(count) / ours, hits);
#ifdef HAVE_SQLITE3
  std::string db_path = path + ".sqlite";
  std::remove(db_path.c_str());
  sqlite3* db = nullptr;
  sqlite3_open(db_path.c_str(), &db);
  sqlite3_exec(db, "CREATE TABLE t(name TEXT, amount REAL); BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?, ?)", -1, &st, nullptr);
  for (long i = 0; i < n; ++i) {
    std::string k = name_of(i);
    sqlite3_bind_text(st, 1, k.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(st, 2, static_cast<double>(i % 100000) * 1.5);
    sqlite3_step(st);
    sqlite3_reset(st);
  }
  sqlite3_finalize(st);
  sqlite3_exec(db, "CREATE INDEX tn ON t(name); COMMIT", nullptr, nullptr, nullptr);
  sqlite3_prepare_v2(db, "SELECT rowid FROM t WHERE name = ? LIMIT 1", -1, &st, nullptr);
  hits = 0;
  t0 = Clock::now();
  for (const auto& k : wanted) {
    sqlite3_bind_text(st, 1, k.c_str(), -1, SQLITE_STATIC);
    hits += sqlite3_step(st) == SQLITE_ROW;
    sqlite3_reset(st);
  }
  double theirs = since(t0);
  sqlite3_finalize(st);
  sqlite3_close(db);
  std::remove(db_path.c_str());
  std::printf("seeks, SQLite indexed lookups %7ld seeks %7.2f s %9.0f seeks/s (%ld found)\n", count, theirs,
              static_cast<double>(count) / theirs, hits);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  long n = argc > 1 ? std::atol(argv[1]) : 1000000;
  long count = argc > 2 ? std::atol(argv[2]) : 100000;
  std::string dir = argc > 3 ? argv[3] : ".";
  std::string path = dir + "/order_bench.dbf";
  ace::order::register_order_layer();
  if (!make_table(path, n)) return std::printf("table failed\n"), 1;
  build(path, n);
  seeks(path, n, count);
  std::remove(path.c_str());
  std::remove((dir + "/order_bench.cdx").c_str());
  return 0;
}
