// Tags bound to tables: fixture tables checked record by record against their
// bags, tags kept in step with appends and changes, orders built and walked, and
// a bag whose key the engine cannot evaluate refusing writes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "dbf/record.h"
#include "order/order_layer.h"
#include "order/tag_navigator.h"
#include "order/verify.h"
#include "table/table.h"

namespace fs = std::filesystem;
using namespace ace;
using ace::order::TableOrders;

namespace {

class OrderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    order::register_order_layer();
    dir_ = fs::temp_directory_path() /
           ("order_layer_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string copy_fixture(const std::string& table, const std::vector<const char*>& companions) {
    for (const char* name : companions) copy_writable(name);
    copy_writable(table);
    return (dir_ / table).string();
  }
  // The fixtures are read-only files; copies must be writable (and removable).
  void copy_writable(const std::string& name) {
    std::ofstream(dir_ / name, std::ios::binary) << slurp(fs::path(FIXTURE_DIR) / name);
  }
  static std::unique_ptr<table::Table> open(const std::string& path) {
    std::unique_ptr<table::Table> t;
    table::OpenOptions o;
    o.exclusive = true;
    Status s = table::Table::open(path, o, &t);
    EXPECT_TRUE(s.ok()) << s.text;
    return t;
  }
  static std::string slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  fs::path dir_;
};

// Every problem verification finds, one per line; empty when all is well.
std::string problems(TableOrders& orders) {
  std::vector<order::VerifyProblem> found;
  Status s = order::verify_orders(orders, &found);
  if (!s.ok()) return "verification failed: " + s.text;
  std::string out;
  for (auto& p : found) out += order::describe(p) + "\n";
  return out;
}

std::vector<uint32_t> walk(table::Table& t, TableOrders& orders, size_t number, bool backward = false) {
  order::TagNavigator nav(t, orders, number);
  std::vector<uint32_t> out;
  uint32_t r = 0;
  Status s = backward ? nav.last(&r) : nav.first(&r);
  while (s.ok() && r != 0 && out.size() < 100000) {
    out.push_back(r);
    s = backward ? nav.previous(r, &r) : nav.next(r, &r);
  }
  EXPECT_TRUE(s.ok()) << s.text;
  return out;
}

// The fixture tables open with their bags; every record's key, computed by the
// expression language, is found in the tag written by another program.
TEST_F(OrderTest, FixtureTablesAgreeWithTheirBags) {
  struct {
    const char* table;
    std::vector<const char*> companions;
    size_t orders;
  } cases[] = {{"calls.dbf", {"calls.CDX", "calls.FPT"}, 2},
               {"contacts.dbf", {"contacts.CDX", "contacts.FPT"}, 2},
               {"setup.dbf", {"setup.CDX"}, 1},
               {"types.dbf", {"types.CDX"}, 1}};
  for (auto& c : cases) {
    auto t = open(copy_fixture(c.table, c.companions));
    ASSERT_TRUE(t);
    TableOrders& orders = order::orders_of(*t);
    ASSERT_EQ(orders.order_count(), c.orders) << c.table;
    EXPECT_TRUE(orders.check_writable().ok()) << c.table;
    EXPECT_EQ(problems(orders), "") << c.table;
  }
}

// Each fixture tag walks its table in the order of the records sorted by the
// tag's expression (a field's value here), ties by record number, both ways.
TEST_F(OrderTest, FixtureTagsWalkInExpressionOrder) {
  struct {
    const char* table;
    std::vector<const char*> companions;
    const char* tag;
    const char* field;
  } cases[] = {{"calls.dbf", {"calls.CDX", "calls.FPT"}, "CALL_ID", "CALL_ID"},
               {"calls.dbf", {"calls.CDX", "calls.FPT"}, "CONTACT_ID", "CONTACT_ID"},
               {"contacts.dbf", {"contacts.CDX", "contacts.FPT"}, "CONTACT_ID", "CONTACT_ID"},
               {"contacts.dbf", {"contacts.CDX", "contacts.FPT"}, "TYPE_ID", "CONTACT_TY"},
               {"setup.dbf", {"setup.CDX"}, "KEY_NAME", "KEY_NAME"},
               {"types.dbf", {"types.CDX"}, "TYPE_ID", "CONTACT_TY"}};
  for (auto& c : cases) {
    SCOPED_TRACE(std::string(c.table) + " " + c.tag);
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    auto t = open(copy_fixture(c.table, c.companions));
    ASSERT_TRUE(t);
    TableOrders& orders = order::orders_of(*t);
    size_t number = orders.find_order(c.tag);
    ASSERT_NE(number, 0u);
    const auto& h = t->header();
    int field = -1;
    for (size_t i = 0; i < h.fields.size(); ++i)
      if (h.fields[i].name == c.field) field = static_cast<int>(i);
    ASSERT_GE(field, 0);
    const dbf::FieldDesc& f = h.fields[static_cast<size_t>(field)];
    std::vector<std::pair<std::string, uint32_t>> rows;  // sortable value, record
    for (uint32_t r = 1; r <= t->known_record_count(); ++r) {
      std::string rec;
      ASSERT_TRUE(t->read_record(r, &rec).ok());
      if (f.type == dbf::FieldType::Character) {
        rows.push_back({dbf::get_text(h, rec, f), r});
      } else {
        bool ok;
        char b[32];
        std::snprintf(b, sizeof b, "%020.0f", dbf::get_number(rec, f, &ok) + 1e15);
        rows.push_back({b, r});
      }
    }
    std::sort(rows.begin(), rows.end());
    std::vector<uint32_t> want;
    for (auto& row : rows) want.push_back(row.second);
    EXPECT_EQ(walk(*t, orders, number), want);
    std::vector<uint32_t> back = walk(*t, orders, number, true);
    std::reverse(back.begin(), back.end());
    EXPECT_EQ(back, want);
  }
}

// Changing and adding records of a fixture table keeps its bag right, also
// after reopening; the controlling order walks by key both ways.
TEST_F(OrderTest, ChangesKeepFixtureBagInStep) {
  std::string path = copy_fixture("calls.dbf", {"calls.CDX", "calls.FPT"});
  {
    auto t = open(path);
    TableOrders& orders = order::orders_of(*t);
    const dbf::FieldDesc& id = t->header().fields[0];  // CALL_ID, integer
    std::string rec;
    ASSERT_TRUE(t->read_record(3, &rec).ok());
    ASSERT_EQ(dbf::put_number(t->header(), &rec, id, 1000), ACE_OK);
    ASSERT_TRUE(t->write_record(3, rec).ok());
    ASSERT_EQ(dbf::put_number(t->header(), &rec, id, -5), ACE_OK);
    uint32_t added;
    Status s = t->append(rec, &added);
    ASSERT_TRUE(s.ok()) << s.text;
    ASSERT_EQ(problems(orders), "");
    size_t call_id = orders.find_order("CALL_ID");
    std::vector<uint32_t> by_key = walk(*t, orders, call_id);
    ASSERT_EQ(by_key.size(), 17u);
    EXPECT_EQ(by_key.front(), added);  // -5 first
    EXPECT_EQ(by_key.back(), 3u);      // 1000 last
    std::vector<uint32_t> back = walk(*t, orders, call_id, true);
    std::reverse(back.begin(), back.end());
    EXPECT_EQ(back, by_key);
  }
  auto again = open(path);
  EXPECT_EQ(problems(order::orders_of(*again)), "");
}

// A structural bag with a tag the engine cannot keep (a function it does not
// know, keys in another collation than machine order): the table reads, every
// write is refused, reindexing too, and neither file changes.
TEST_F(OrderTest, UnmaintainableTagRefusesWrites) {
  struct {
    const char* key;
    const char* collation;  // written into the tag header's reserved bytes
  } cases[] = {{"FOREIGNCOLLATE(NAME)", ""}, {"NAME", "GENERAL"}};
  for (auto& c : cases) {
    SCOPED_TRACE(c.key);
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    std::string path = (dir_ / "odd.dbf").string();
    std::vector<dbf::FieldDesc> fields(1);
    fields[0].name = "NAME";
    fields[0].type = dbf::FieldType::Character;
    fields[0].length = 10;
    {
      std::unique_ptr<table::Table> t;
      table::OpenOptions oo;
      oo.exclusive = true;
      ASSERT_TRUE(table::Table::create(path, fields, {}, oo, &t).ok());
      uint32_t recno;
      ASSERT_TRUE(t->append(dbf::blank_record(t->header()), &recno).ok());
      t.reset();
      // The header now says the table has a structural bag, which we write below.
      std::fstream patch(path, std::ios::binary | std::ios::in | std::ios::out);
      patch.seekp(28);
      patch.put('\x01');
      patch.close();
      std::unique_ptr<io::File> f;
      ASSERT_TRUE(io::open_file((dir_ / "odd.cdx").string(), io::Access::ReadWrite, io::Share::Exclusive,
                                io::Disposition::CreateAlways, &f).ok());
      std::unique_ptr<cdx::Bag> bag;
      ASSERT_TRUE(cdx::Bag::create(std::move(f), true, &bag).ok());
      cdx::KeySet keys;
      keys.bytes = std::string(10, ' ');
      keys.recnos = {1};
      cdx::Tag* tag = nullptr;
      ASSERT_TRUE(bag->create_tag({"ODD", c.key, "", 10, cdx::KeyKind::Character, false, false}, keys, &tag).ok());
      if (*c.collation) {
        ASSERT_TRUE(bag->store().write(tag->header_offset() + 40, c.collation, std::strlen(c.collation)).ok());
      }
    }
    std::string dbf_before = slurp(path), cdx_before = slurp(dir_ / "odd.cdx");
    {
      auto t = open(path);
      ASSERT_TRUE(t);
      std::string rec;
      ASSERT_TRUE(t->read_record(1, &rec).ok());
      Status s = t->write_record(1, rec);
      EXPECT_EQ(s.code, ACE_ERR_INDEX_UNMAINTAINABLE);
      EXPECT_NE(s.text.find("ODD"), std::string::npos) << s.text;
      uint32_t recno;
      EXPECT_EQ(t->append(rec, &recno).code, ACE_ERR_INDEX_UNMAINTAINABLE);
      EXPECT_EQ(t->set_deleted(1, true).code, ACE_ERR_INDEX_UNMAINTAINABLE);
      TableOrders& orders = order::orders_of(*t);
      EXPECT_EQ(orders.reindex().code, ACE_ERR_INDEX_UNMAINTAINABLE);
      order::TagNavigator nav(*t, orders, 1);
      uint32_t first = 0;
      EXPECT_TRUE(nav.first(&first).ok());  // the tag itself still reads
      EXPECT_EQ(first, 1u);
    }
    EXPECT_TRUE(slurp(path) == dbf_before);
    EXPECT_TRUE(slurp(dir_ / "odd.cdx") == cdx_before);
  }
}

// Orders built on a new table: character, descending with a FOR condition, and
// unique; kept through appends and changes, found again when the table reopens.
TEST_F(OrderTest, BuiltOrdersFollowTheTable) {
  std::string path = (dir_ / "people.dbf").string();
  std::vector<dbf::FieldDesc> fields(2);
  fields[0].name = "NAME";
  fields[0].type = dbf::FieldType::Character;
  fields[0].length = 12;
  fields[1].name = "AMOUNT";
  fields[1].type = dbf::FieldType::Numeric;
  fields[1].length = 8;
  fields[1].decimals = 2;
  std::unique_ptr<table::Table> t;
  table::OpenOptions oo;
  oo.exclusive = true;
  ASSERT_TRUE(table::Table::create(path, fields, {}, oo, &t).ok());
  const auto& h = t->header();
  std::mt19937 rng(3);
  const char* names[] = {"ana", "Bea", "carla", "ANA", "dora", "eva"};
  auto record = [&](const char* name, double amount) {
    std::string rec = dbf::blank_record(h);
    dbf::put_text(h, &rec, h.fields[0], name);
    dbf::put_number(h, &rec, h.fields[1], amount);
    return rec;
  };
  uint32_t recno;
  for (int i = 0; i < 40; ++i)
    ASSERT_TRUE(t->append(record(names[rng() % 6], static_cast<double>(rng() % 200) - 50), &recno).ok());

  TableOrders& orders = order::orders_of(*t);
  size_t by_name, by_amount, unique_name;
  ASSERT_TRUE(orders.create_order("", {"NAME", "UPPER(NAME)", "", false, false}, &by_name).ok());
  ASSERT_TRUE(orders.create_order("", {"AMOUNT", "AMOUNT", "AMOUNT > 0", false, true}, &by_amount).ok());
  ASSERT_TRUE(orders.create_order("", {"UNAME", "NAME", "", true, false}, &unique_name).ok());
  by_name = orders.find_order("NAME");
  by_amount = orders.find_order("AMOUNT");
  unique_name = orders.find_order("UNAME");

  for (int i = 0; i < 60; ++i) {
    if (i % 2) {
      ASSERT_TRUE(t->append(record(names[rng() % 6], static_cast<double>(rng() % 200) - 50), &recno).ok());
    } else {
      uint32_t r = 1 + static_cast<uint32_t>(rng() % 40);
      Status s = t->write_record(r, record(names[rng() % 6], static_cast<double>(rng() % 200) - 50));
      ASSERT_TRUE(s.ok()) << s.text;
    }
  }
  ASSERT_EQ(problems(orders), "");
  Status s;

  // Expected walks computed from the records.
  struct Row {
    std::string upper_name, name;
    double amount;
    uint32_t recno;
  };
  std::vector<Row> rows;
  uint32_t n = 0;
  ASSERT_TRUE(t->record_count(&n).ok());
  for (uint32_t r = 1; r <= n; ++r) {
    std::string rec;
    ASSERT_TRUE(t->read_record(r, &rec).ok());
    std::string name = dbf::get_text(h, rec, h.fields[0]);
    std::string up = name;
    for (char& c : up) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    bool ok;
    rows.push_back({up, name, dbf::get_number(rec, h.fields[1], &ok), r});
  }
  std::vector<Row> sorted = rows;
  std::sort(sorted.begin(), sorted.end(), [](const Row& a, const Row& b) {
    return a.upper_name != b.upper_name ? a.upper_name < b.upper_name : a.recno < b.recno;
  });
  std::vector<uint32_t> want;
  for (auto& r : sorted) want.push_back(r.recno);
  EXPECT_EQ(walk(*t, orders, by_name), want);

  std::sort(sorted.begin(), sorted.end(), [](const Row& a, const Row& b) {
    return a.amount != b.amount ? a.amount > b.amount : a.recno > b.recno;
  });
  want.clear();
  for (auto& r : sorted)
    if (r.amount > 0) want.push_back(r.recno);
  EXPECT_EQ(walk(*t, orders, by_amount), want);
  std::vector<uint32_t> back = walk(*t, orders, by_amount, true);
  std::reverse(back.begin(), back.end());
  EXPECT_EQ(back, want);

  std::sort(sorted.begin(), sorted.end(), [](const Row& a, const Row& b) {
    return a.name != b.name ? a.name < b.name : a.recno < b.recno;
  });
  want.clear();
  for (size_t i = 0; i < sorted.size(); ++i)
    if (i == 0 || sorted[i].name != sorted[i - 1].name) want.push_back(sorted[i].recno);
  EXPECT_EQ(walk(*t, orders, unique_name), want);

  // A soft seek in the descending order lands on the highest amount below.
  order::TagNavigator nav(*t, orders, by_amount);
  std::string key(8, '\0');
  uint32_t r;
  bool found;
  uint8_t k[8];
  expr::encode_double_key(1000.0, k);
  key.assign(reinterpret_cast<char*>(k), 8);
  ASSERT_TRUE(nav.seek(key, &r, &found).ok());
  EXPECT_FALSE(found);
  EXPECT_EQ(r, want.empty() ? 0u : walk(*t, orders, by_amount).front());

  t.reset();
  auto again = open(path);
  TableOrders& reopened = order::orders_of(*again);
  EXPECT_EQ(reopened.order_count(), 3u);
  EXPECT_EQ(problems(reopened), "");
}


TEST_F(OrderTest, BadKeyIsRefusedAndLeavesNoTag) {
  std::string path = copy_fixture("setup.dbf", {"setup.CDX"});
  auto t = open(path);
  TableOrders& orders = order::orders_of(*t);
  size_t number;
  for (const char* bad : {"KEY_NAME +", "NOSUCHFIELD", "NOFUNC(KEY_NAME)"}) {
    Status s = orders.create_order("", {"BAD", bad, "", false, false}, &number);
    EXPECT_EQ(s.code, ACE_ERR_KEY_SYNTAX) << bad;
  }
  EXPECT_EQ(orders.find_order("BAD"), 0u);
  EXPECT_EQ(problems(orders), "");
}

// Two opens of one shared table: a tag added through one moves the order
// numbers the other sees, and the other's controlling order keeps walking its
// own tag, which another process may also find through the engine.
TEST_F(OrderTest, ControllingOrderFollowsItsTagWhenOthersAddTags) {
  std::string path = (dir_ / "pair.dbf").string();
  std::vector<dbf::FieldDesc> fields(2);
  fields[0].name = "A";
  fields[0].type = dbf::FieldType::Character;
  fields[0].length = 4;
  fields[1].name = "B";
  fields[1].type = dbf::FieldType::Numeric;
  fields[1].length = 4;
  {
    std::unique_ptr<table::Table> t;
    table::OpenOptions ex;
    ex.exclusive = true;
    ASSERT_TRUE(table::Table::create(path, fields, {}, ex, &t).ok());
    for (int i = 0; i < 6; ++i) {
      std::string rec = dbf::blank_record(t->header());
      dbf::put_text(t->header(), &rec, t->header().fields[0], std::string(1, static_cast<char>('a' + i)));
      dbf::put_number(t->header(), &rec, t->header().fields[1], 10 - i);
      uint32_t r;
      ASSERT_TRUE(t->append(rec, &r).ok());
    }
    size_t n;
    ASSERT_TRUE(order::orders_of(*t).create_order("", {"ZB", "B", "", false, false}, &n).ok());
  }
  std::unique_ptr<table::Table> one, two;
  ASSERT_TRUE(table::Table::open(path, {}, &one).ok());
  ASSERT_TRUE(table::Table::open(path, {}, &two).ok());
  TableOrders& mine = order::orders_of(*one);
  order::TagNavigator nav(*one, mine, mine.find_order("ZB"));
  EXPECT_EQ(nav.order_number(), 1u);
  size_t n;
  ASSERT_TRUE(order::orders_of(*two).create_order("", {"AA", "A", "", false, false}, &n).ok());
  // This open learns of the new tag when it next writes.
  std::string rec = dbf::blank_record(one->header());
  dbf::put_text(one->header(), &rec, one->header().fields[0], "g");
  dbf::put_number(one->header(), &rec, one->header().fields[1], 4);
  uint32_t r = 0;
  ASSERT_TRUE(one->append(rec, &r).ok());
  one->unlock_all();
  std::vector<uint32_t> seen;
  for (Status s = nav.first(&r); s.ok() && r; s = nav.next(r, &r)) seen.push_back(r);
  EXPECT_EQ(seen, (std::vector<uint32_t>{7, 6, 5, 4, 3, 2, 1}));  // B ascending
  EXPECT_EQ(nav.order_number(), 2u);  // AA now comes first in the bag
  EXPECT_EQ(mine.order_count(), 2u);
}

}  // namespace
