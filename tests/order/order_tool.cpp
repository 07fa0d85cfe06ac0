// Drives the engine's C interface for the process-level order tests:
//   order_tool create TABLE                 new table with three structural tags
//   order_tool append TABLE WRITER N SEED   N appends (0: until killed), shared,
//                                           with changes to random locked records
//   order_tool whole TABLE WRITER N SEED    N appends of whole records (0: until
//                                           killed), shared, nothing else written
//   order_tool check TABLE                  count, duplicates and verification
//   order_tool reindex TABLE                rebuild the bags (exclusive open)
//   order_tool fill TABLE N                 N records and some changes, exclusive
//   order_tool keys TABLE TAG               the tag's order: key value and record
// Fields: NAME C 20, WRITER N 3, SEQ N 8, AMOUNT N 10.2. Exit code 0 when all is well.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <utility>

#include "ace32.h"
#include "ace32_errors.h"
#include "dbf/record.h"
#include "order/order_layer.h"
#include "table/table.h"

namespace {

constexpr uint16_t kName = 1, kWriter = 2, kSeq = 3, kAmount = 4;

int fail(const char* what, ACE_RESULT r) {
  char text[512];
  uint32_t len = sizeof text;
  uint32_t number = 0;
  ace_get_last_error(&number, nullptr, nullptr, nullptr, text, &len);
  std::fprintf(stderr, "%s: error %u: %s\n", what, static_cast<unsigned>(r), text);
  return 3;
}

#define CHECK(call)                         \
  do {                                      \
    ACE_RESULT r_ = (call);                 \
    if (r_ != ACE_OK) return fail(#call, r_); \
  } while (0)

std::string name_for(std::mt19937& rng) {
  static const char* stems[] = {"garcia", "Lopez", "MARTIN", "perez", "Sanchez", "diaz", "Ruiz", "alvarez"};
  return std::string(stems[rng() % 8]) + " " + std::to_string(rng() % 1000);
}

int create(const char* path) {
  ACE_HANDLE h;
  CHECK(ace_create_table(path, nullptr, "NAME,C,20,0;WRITER,N,3,0;SEQ,N,8,0;AMOUNT,N,10,2", ACE_TABLE_CDX,
                         ACE_OPEN_EXCLUSIVE, &h));
  CHECK(ace_create_index(h, nullptr, "NAME", "UPPER(NAME)", nullptr, 0, nullptr));
  CHECK(ace_create_index(h, nullptr, "WSEQ", "STR(WRITER,3)+STR(SEQ,8)", nullptr, 0, nullptr));
  CHECK(ace_create_index(h, nullptr, "AMOUNT", "AMOUNT", "AMOUNT > 0", 0, nullptr));
  return ace_close_table(h) == ACE_OK ? 0 : 3;
}

// One record: blank appended, then its fields written one by one, as a program does.
int add_record(ACE_HANDLE h, std::mt19937& rng, int writer, long seq) {
  ACE_RESULT r;
  // Another appender holds the header for a moment: let it run.
  while ((r = ace_append(h)) == ACE_ERR_APPEND_LOCK) std::this_thread::yield();
  if (r != ACE_OK) return fail("append", r);
  std::string name = name_for(rng);
  CHECK(ace_set_string(h, kName, name.c_str(), static_cast<uint32_t>(name.size())));
  CHECK(ace_set_double(h, kWriter, writer));
  CHECK(ace_set_double(h, kSeq, static_cast<double>(seq)));
  CHECK(ace_set_double(h, kAmount, static_cast<double>(static_cast<int>(rng() % 20001) - 10000) / 4));
  return 0;
}

// Locks a random record, changes its amount, lets it go; a record another
// process holds is passed over.
int touch_random(ACE_HANDLE h, std::mt19937& rng) {
  uint32_t n = 0;
  CHECK(ace_record_count(h, &n));
  if (n == 0) return 0;
  uint32_t target = 1 + static_cast<uint32_t>(rng() % n);
  CHECK(ace_go_to(h, target));
  ACE_RESULT r = ace_lock_record(h, 0);
  if (r == ACE_ERR_RECORD_LOCK) return 0;
  if (r != ACE_OK) return fail("lock", r);
  CHECK(ace_set_double(h, kAmount, static_cast<double>(static_cast<int>(rng() % 20001) - 10000) / 4));
  CHECK(ace_unlock_record(h, 0));
  return 0;
}

int append(const char* path, int writer, long count, unsigned seed) {
  ACE_HANDLE h;
  CHECK(ace_open_table(path, nullptr, ACE_TABLE_CDX, 0, &h));
  std::mt19937 rng(seed);
  for (long i = 1; count == 0 || i <= count; ++i) {
    if (int e = add_record(h, rng, writer, i)) return e;
    if (i % 7 == 0)
      if (int e = touch_random(h, rng)) return e;
  }
  return ace_close_table(h) == ACE_OK ? 0 : 3;
}

// Appends that write each record whole, the way that keeps the tags consistent
// with the counted records wherever the process is killed.
int whole(const char* path, int writer, long count, unsigned seed) {
  ace::order::register_order_layer();
  std::unique_ptr<ace::table::Table> t;
  ace::Status s = ace::table::Table::open(path, {}, &t);
  if (!s.ok()) return std::fprintf(stderr, "open: %s\n", s.text.c_str()), 3;
  const auto& h = t->header();
  std::mt19937 rng(seed);
  for (long i = 1; count == 0 || i <= count; ++i) {
    std::string rec = ace::dbf::blank_record(h);
    ace::dbf::put_text(h, &rec, h.fields[kName - 1], name_for(rng));
    ace::dbf::put_number(h, &rec, h.fields[kWriter - 1], writer);
    ace::dbf::put_number(h, &rec, h.fields[kSeq - 1], static_cast<double>(i));
    ace::dbf::put_number(h, &rec, h.fields[kAmount - 1], static_cast<double>(static_cast<int>(rng() % 20001) - 10000) / 4);
    uint32_t r;
    while ((s = t->append(rec, &r)).code == ACE_ERR_APPEND_LOCK) std::this_thread::yield();
    if (!s.ok()) return std::fprintf(stderr, "append: %s\n", s.text.c_str()), 3;
    t->unlock_record(r);
  }
  return 0;
}

int fill(const char* path, long count) {
  ACE_HANDLE h;
  CHECK(ace_open_table(path, nullptr, ACE_TABLE_CDX, ACE_OPEN_EXCLUSIVE, &h));
  std::mt19937 rng(7);
  for (long i = 1; i <= count; ++i) {
    if (int e = add_record(h, rng, 1, i)) return e;
    if (i % 3 == 0)
      if (int e = touch_random(h, rng)) return e;
  }
  return ace_close_table(h) == ACE_OK ? 0 : 3;
}

int check(const char* path) {
  ACE_HANDLE h;
  CHECK(ace_open_table(path, nullptr, ACE_TABLE_CDX, 0, &h));
  uint32_t n = 0;
  CHECK(ace_record_count(h, &n));
  // Every counted record reads, and no writer's sequence number appears twice.
  std::set<std::pair<long, long>> seen;
  uint32_t duplicates = 0;
  std::map<long, long> per_writer;
  for (uint32_t r = 1; r <= n; ++r) {
    CHECK(ace_go_to(h, r));
    double w = 0, s = 0;
    CHECK(ace_get_double(h, kWriter, &w));
    CHECK(ace_get_double(h, kSeq, &s));
    if (s == 0) continue;  // appended, but its process died before writing it
    if (!seen.insert({static_cast<long>(w), static_cast<long>(s)}).second) ++duplicates;
    ++per_writer[static_cast<long>(w)];
  }
  uint32_t problems = 0;
  static char report[1 << 16];
  uint32_t len = sizeof report;
  ACE_RESULT v = ace_verify_indexes(h, &problems, report, &len);
  if (v != ACE_OK && v != ACE_ERR_INDEX_VERIFY) return fail("verify", v);
  std::printf("records %u\nduplicates %u\nproblems %u\n", n, duplicates, problems);
  for (auto& [w, k] : per_writer) std::printf("writer %ld %ld\n", w, k);
  if (problems) std::printf("%s\n", report);
  ace_close_table(h);
  return duplicates ? 2 : problems ? 1 : 0;
}

int reindex(const char* path) {
  ACE_HANDLE h;
  CHECK(ace_open_table(path, nullptr, ACE_TABLE_CDX, ACE_OPEN_EXCLUSIVE, &h));
  CHECK(ace_reindex(h));
  return ace_close_table(h) == ACE_OK ? 0 : 3;
}

int keys(const char* path, const char* tag) {
  ACE_HANDLE h;
  CHECK(ace_open_table(path, nullptr, ACE_TABLE_CDX, ACE_OPEN_READONLY, &h));
  CHECK(ace_set_order_by_name(h, tag));
  CHECK(ace_go_top(h));
  uint16_t eof = 0;
  while (ace_at_eof(h, &eof) == ACE_OK && !eof) {
    uint32_t r = 0;
    char name[32];
    uint32_t len = sizeof name;
    double amount = 0;
    CHECK(ace_recno(h, &r));
    CHECK(ace_get_string(h, kName, name, &len));
    CHECK(ace_get_double(h, kAmount, &amount));
    std::printf("%s|%.2f|%u\n", std::string(name, len).c_str(), amount, r);
    CHECK(ace_skip(h, 1));
  }
  return ace_close_table(h) == ACE_OK ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv) {
  std::string cmd = argc > 2 ? argv[1] : "";
  ACE_RESULT r;
  if (cmd == "create") r = create(argv[2]);
  else if (cmd == "append" && argc == 6) r = append(argv[2], std::atoi(argv[3]), std::atol(argv[4]), std::atoi(argv[5]));
  else if (cmd == "whole" && argc == 6) r = whole(argv[2], std::atoi(argv[3]), std::atol(argv[4]), std::atoi(argv[5]));
  else if (cmd == "check") r = check(argv[2]);
  else if (cmd == "reindex") r = reindex(argv[2]);
  else if (cmd == "fill" && argc == 4) r = fill(argv[2], std::atol(argv[3]));
  else if (cmd == "keys" && argc == 4) r = keys(argv[2], argv[3]);
  else {
    std::fprintf(stderr, "usage: order_tool create|append|check|reindex|fill|keys TABLE ...\n");
    return 64;
  }
  ace_exit();
  return static_cast<int>(r);
}
