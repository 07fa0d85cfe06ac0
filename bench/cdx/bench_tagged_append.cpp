// Appends 1,000,000 records to a shared table that keeps one character tag and
// one numeric tag in its structural bag, with the header lock per append, beside
// the same appends to a table without tags in the same run.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "dbf/record.h"
#include "order/order_layer.h"
#include "order/verify.h"
#include "table/table.h"

using namespace ace;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

namespace {

uint32_t kRecords = 1000000;

double append_all(const std::string& path, bool tagged) {
  std::vector<dbf::FieldDesc> fields(2);
  fields[0].name = "NAME";
  fields[0].type = dbf::FieldType::Character;
  fields[0].length = 20;
  fields[1].name = "AMOUNT";
  fields[1].type = dbf::FieldType::Numeric;
  fields[1].length = 12;
  fields[1].decimals = 2;
  std::unique_ptr<table::Table> t;
  // A structural bag is started on a table opened exclusively, then shared.
  table::OpenOptions exclusive;
  exclusive.exclusive = true;
  if (!table::Table::create(path, fields, {}, exclusive, &t).ok()) std::abort();
  if (tagged) {
    order::TableOrders& orders = order::orders_of(*t);
    size_t n;
    if (!orders.create_order("", {"NAME", "NAME", "", false, false}, &n).ok()) std::abort();
    if (!orders.create_order("", {"AMOUNT", "AMOUNT", "", false, false}, &n).ok()) std::abort();
  }
  t.reset();
  if (!table::Table::open(path, {}, &t).ok()) std::abort();
  std::mt19937 rng(11);
  std::string rec = dbf::blank_record(t->header());
  auto t0 = Clock::now();
  for (uint32_t i = 0; i < kRecords; ++i) {
    dbf::put_text(t->header(), &rec, t->header().fields[0], "NAME" + std::to_string(rng() % 1000000));
    dbf::put_number(t->header(), &rec, t->header().fields[1], static_cast<double>(rng() % 10000000) / 100.0);
    uint32_t recno;
    Status s = t->append(rec, &recno);
    if (!s.ok()) {
      std::fprintf(stderr, "%s\n", s.text.c_str());
      std::abort();
    }
    t->unlock_record(recno);
  }
  double secs = std::chrono::duration<double>(Clock::now() - t0).count();
  if (tagged) {
    std::vector<order::VerifyProblem> problems;
    Status v = order::verify_orders(order::orders_of(*t), &problems);
    if (!v.ok()) std::fprintf(stderr, "verify: %s\n", v.text.c_str());
    for (const auto& p : problems) std::fprintf(stderr, "verify: %s\n", order::describe(p).c_str());
  }
  return secs;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1) kRecords = static_cast<uint32_t>(std::stoul(argv[1]));
  order::register_order_layer();
  fs::path dir = fs::temp_directory_path() / "bench_tagged_append";
  fs::remove_all(dir);
  fs::create_directories(dir);
  double bare = append_all((dir / "bare.dbf").string(), false);
  double tagged = append_all((dir / "tagged.dbf").string(), true);
  std::printf("shared table, header lock per append, %u records\n", kRecords);
  std::printf("  no tags:                          %7.2f s  %9.0f appends/s\n", bare, kRecords / bare);
  std::printf("  character tag + numeric tag:      %7.2f s  %9.0f appends/s\n", tagged, kRecords / tagged);
  fs::remove_all(dir);
  return 0;
}
