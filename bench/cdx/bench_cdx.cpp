// Prints index figures beside their anchors, measured in one run on this machine:
//   - building a tag over 1,000,000 keys (character and numeric) against
//     std::sort of the same keys, the floor any build must pay;
//   - 100,000 random seeks against SQLite point lookups on an indexed table
//     holding the same keys.
// Both sides work in memory (the bag in an in-memory file, SQLite in ":memory:"),
// so the figures compare the structures, not the disk.
#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "cdx/bag.h"
#include "dbf_rows.h"
#include "mem_file.h"

using namespace ace::cdx;
using Clock = std::chrono::steady_clock;

namespace {

constexpr size_t kKeys = 1000000;
constexpr size_t kSeeks = 100000;

double seconds_since(Clock::time_point t0) {
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

template <size_t N>
double sort_floor(const KeySet& keys) {
  struct Item {
    std::array<char, N> key;
    uint32_t recno;
  };
  std::vector<Item> items(keys.count());
  for (size_t i = 0; i < keys.count(); ++i) {
    std::memcpy(items[i].key.data(), keys.bytes.data() + i * N, N);
    items[i].recno = keys.recnos[i];
  }
  auto t0 = Clock::now();
  std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
    int c = std::memcmp(a.key.data(), b.key.data(), N);
    return c != 0 ? c < 0 : a.recno < b.recno;
  });
  return seconds_since(t0);
}

struct Built {
  std::unique_ptr<Bag> bag;
  Tag* tag = nullptr;
  double seconds = 0;
};

Built build(const KeySet& keys, int key_len, KeyKind kind) {
  Built b;
  auto t0 = Clock::now();
  if (!Bag::create(cdxtest::mem_file("bench.cdx"), true, &b.bag).ok()) std::abort();
  TagSpec spec{"K", "K", "", key_len, kind, false, false};
  Status s = b.bag->create_tag(spec, keys, &b.tag);
  if (!s.ok()) {
    std::fprintf(stderr, "%s\n", s.message.c_str());
    std::abort();
  }
  b.seconds = seconds_since(t0);
  return b;
}

double seek_all(Tag& tag, const std::vector<std::string>& probes) {
  auto t0 = Clock::now();
  size_t hits = 0;
  for (const std::string& p : probes) {
    Cursor c;
    bool found;
    if (!tag.seek(p, &c, &found).ok()) std::abort();
    hits += found;
  }
  double s = seconds_since(t0);
  if (hits != probes.size()) std::fprintf(stderr, "seek missed %zu keys\n", probes.size() - hits);
  return s;
}

double sqlite_seeks(const KeySet& keys, int key_len, const std::vector<std::string>& probes,
                    double* load_seconds) {
  sqlite3* db;
  sqlite3_open(":memory:", &db);
  sqlite3_exec(db, "CREATE TABLE t(k BLOB, r INTEGER)", nullptr, nullptr, nullptr);
  auto t0 = Clock::now();
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* ins;
  sqlite3_prepare_v2(db, "INSERT INTO t VALUES(?, ?)", -1, &ins, nullptr);
  for (size_t i = 0; i < keys.count(); ++i) {
    sqlite3_bind_blob(ins, 1, keys.bytes.data() + i * static_cast<size_t>(key_len), key_len, SQLITE_STATIC);
    sqlite3_bind_int64(ins, 2, keys.recnos[i]);
    sqlite3_step(ins);
    sqlite3_reset(ins);
  }
  sqlite3_finalize(ins);
  sqlite3_exec(db, "CREATE INDEX tk ON t(k)", nullptr, nullptr, nullptr);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  *load_seconds = seconds_since(t0);
  sqlite3_stmt* q;
  sqlite3_prepare_v2(db, "SELECT r FROM t WHERE k = ? LIMIT 1", -1, &q, nullptr);
  size_t hits = 0;
  t0 = Clock::now();
  for (const std::string& p : probes) {
    sqlite3_bind_blob(q, 1, p.data(), static_cast<int>(p.size()), SQLITE_STATIC);
    if (sqlite3_step(q) == SQLITE_ROW) ++hits;
    sqlite3_reset(q);
  }
  double s = seconds_since(t0);
  sqlite3_finalize(q);
  sqlite3_close(db);
  if (hits != probes.size()) std::fprintf(stderr, "sqlite missed %zu keys\n", probes.size() - hits);
  return s;
}

template <size_t N>
void run(const char* label, const KeySet& keys, KeyKind kind) {
  const int key_len = static_cast<int>(N);
  double floor = sort_floor<N>(keys);
  Built b = build(keys, key_len, kind);
  std::printf("%-10s tag build of %zu keys: %7.3f s   std::sort of the same keys: %7.3f s   ratio %.2f\n",
              label, keys.count(), b.seconds, floor, b.seconds / floor);
  std::mt19937 rng(99);
  std::vector<std::string> probes(kSeeks);
  for (auto& p : probes) {
    size_t i = rng() % keys.count();
    p.assign(keys.bytes.data() + i * N, N);
  }
  // Seeks on a freshly opened bag, so pages are read and decoded as they are met.
  auto* raw = static_cast<cdxtest::MemFile*>(&b.bag->store().file());
  std::unique_ptr<Bag> reopened;
  if (!Bag::open(cdxtest::mem_file("bench.cdx", raw->bytes()), &reopened).ok()) std::abort();
  Tag* tag = reopened->find("K");
  tag->set_kind(kind);
  double ours = seek_all(*tag, probes);
  double load;
  double theirs = sqlite_seeks(keys, key_len, probes, &load);
  std::printf("%-10s %zu random seeks: %7.3f s (%9.0f/s)   SQLite point lookups: %7.3f s (%9.0f/s)"
              "   [SQLite load+index %.3f s]\n",
              label, kSeeks, ours, kSeeks / ours, theirs, kSeeks / theirs, load);
}

// Keys added one at a time, as appends do: random keys into a tag that grows.
void run_inserts(const char* label, const KeySet& keys, int key_len, KeyKind kind) {
  std::unique_ptr<Bag> bag;
  if (!Bag::create(cdxtest::mem_file("bench.cdx"), true, &bag).ok()) std::abort();
  Tag* tag;
  TagSpec spec{"K", "K", "", key_len, kind, false, false};
  if (!bag->create_tag(spec, KeySet{}, &tag).ok()) std::abort();
  const size_t n = keys.count() / 5;
  auto t0 = Clock::now();
  for (size_t i = 0; i < n; ++i)
    if (!tag->insert(std::string_view(keys.bytes.data() + i * static_cast<size_t>(key_len), static_cast<size_t>(key_len)),
                     keys.recnos[i]).ok())
      std::abort();
  double s = seconds_since(t0);
  std::printf("%-10s %zu single inserts: %7.3f s (%9.0f/s)\n", label, n, s, static_cast<double>(n) / s);
}

}  // namespace

int main() {
  std::mt19937 rng(2024);
  KeySet chars, nums;
  static const char* stems[] = {"GARCIA", "RODRIGUEZ", "LOPEZ", "MARTIN", "SANCHEZ", "PEREZ",
                                "GOMEZ", "FERNANDEZ", "DIAZ", "MORENO"};
  chars.bytes.reserve(kKeys * 20);
  nums.bytes.reserve(kKeys * 8);
  for (uint32_t r = 1; r <= kKeys; ++r) {
    std::string k = std::string(stems[rng() % 10]) + " " + std::to_string(rng() % 1000000);
    k.resize(20, ' ');
    chars.bytes += k;
    chars.recnos.push_back(r);
    nums.bytes += cdxtest::double_key(static_cast<double>(rng() % 100000000) / 100.0 - 500000.0);
    nums.recnos.push_back(r);
  }
  run<20>("character", chars, KeyKind::Character);
  run<8>("numeric", nums, KeyKind::Binary);
  run_inserts("character", chars, 20, KeyKind::Character);
  run_inserts("numeric", nums, 8, KeyKind::Binary);
  return 0;
}
