// Verification finds each kind of damage with the record concerned, reindexing
// repairs it, and the keys an appender killed before counting its record left
// behind neither show in the order nor outlive the next append.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "dbf/record.h"
#include "order/order_layer.h"
#include "order/tag_navigator.h"
#include "order/verify.h"
#include "table/table.h"

namespace fs = std::filesystem;
using namespace ace;
using ace::order::TableOrders;

namespace {

class VerifyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    order::register_order_layer();
    dir_ = fs::temp_directory_path() /
           ("order_verify_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path_ = (dir_ / "names.dbf").string();
  }
  void TearDown() override {
    table_.reset();
    fs::remove_all(dir_);
  }

  // NAME C 10 with the tag NAME on UPPER(NAME), records "name01".."name20".
  void make(bool exclusive = true) {
    std::vector<dbf::FieldDesc> fields(1);
    fields[0].name = "NAME";
    fields[0].type = dbf::FieldType::Character;
    fields[0].length = 10;
    table::OpenOptions ex;
    ex.exclusive = true;
    ASSERT_TRUE(table::Table::create(path_, fields, {}, ex, &table_).ok());
    for (int i = 1; i <= 20; ++i) append(name(i));
    size_t n;
    ASSERT_TRUE(order::orders_of(*table_).create_order("", {"NAME", "UPPER(NAME)", "", false, false}, &n).ok());
    if (!exclusive) {
      table_.reset();
      ASSERT_TRUE(table::Table::open(path_, {}, &table_).ok());
    }
  }
  static std::string name(int i) { return "name" + std::string(i < 10 ? "0" : "") + std::to_string(i); }
  std::string record(const std::string& text) {
    std::string rec = dbf::blank_record(table_->header());
    dbf::put_text(table_->header(), &rec, table_->header().fields[0], text);
    return rec;
  }
  void append(const std::string& text) {
    uint32_t r;
    ASSERT_TRUE(table_->append(record(text), &r).ok());
    table_->unlock_record(r);
  }
  static std::string key(const std::string& text) {
    std::string k = text;
    for (char& c : k) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    k.resize(10, ' ');
    return k;
  }
  TableOrders& orders() { return order::orders_of(*table_); }
  cdx::Tag& tag() { return *orders().order(1)->tag; }
  std::vector<order::VerifyProblem> problems() {
    std::vector<order::VerifyProblem> found;
    Status s = order::verify_orders(orders(), &found);
    EXPECT_TRUE(s.ok()) << s.text;
    return found;
  }
  std::vector<uint32_t> walk() {
    order::TagNavigator nav(*table_, orders(), 1);
    std::vector<uint32_t> out;
    uint32_t r = 0;
    for (Status s = nav.first(&r); s.ok() && r != 0; s = nav.next(r, &r)) out.push_back(r);
    return out;
  }

  fs::path dir_;
  std::string path_;
  std::unique_ptr<table::Table> table_;
};

TEST_F(VerifyTest, EachDamageIsNamedAndReindexRepairsIt) {
  struct {
    const char* what;
    std::function<void(cdx::Tag&)> damage;
    uint32_t recno;
    const char* text;
  } cases[] = {
      {"entry gone", [](cdx::Tag& t) { t.remove(key(name(5)), 5); }, 5, "missing"},
      {"entry of no record", [](cdx::Tag& t) { t.insert(key("zzz"), 99); }, 99, "does not have"},
      {"stale key", [](cdx::Tag& t) { t.remove(key(name(3)), 3), t.insert(key("aaa"), 3); }, 3, "differs"},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.what);
    table_.reset();
    make();
    ASSERT_TRUE(problems().empty());
    c.damage(tag());
    auto found = problems();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].recno, c.recno);
    EXPECT_EQ(found[0].tag, "NAME");
    EXPECT_NE(order::describe(found[0]).find(c.text), std::string::npos) << order::describe(found[0]);
    Status s = orders().reindex();
    ASSERT_TRUE(s.ok()) << s.text;
    EXPECT_TRUE(problems().empty());
    EXPECT_EQ(walk().size(), 20u);
  }
}

TEST_F(VerifyTest, ReindexNeedsTheTableToItself) {
  make(false);
  EXPECT_EQ(orders().reindex().code, ACE_ERR_EXCLUSIVE_NEEDED);
}

// A structural bag started through one open of a shared table is kept by the
// other opens from their next write on; while another open holds a record lock
// no tag is built (the builder needs the whole table to itself for a moment).
TEST_F(VerifyTest, BagStartedByAnotherUserIsKept) {
  std::vector<dbf::FieldDesc> fields(1);
  fields[0].name = "NAME";
  fields[0].type = dbf::FieldType::Character;
  fields[0].length = 10;
  std::unique_ptr<table::Table> other;
  ASSERT_TRUE(table::Table::create(path_, fields, {}, {}, &table_).ok());
  ASSERT_TRUE(table::Table::open(path_, {}, &other).ok());
  append("first");
  ASSERT_TRUE(other->lock_record(1).ok());
  size_t n;
  EXPECT_EQ(orders().create_order("", {"NAME", "UPPER(NAME)", "", false, false}, &n).code, ACE_ERR_FILE_LOCK);
  EXPECT_FALSE(fs::exists(dir_ / "names.cdx"));
  ASSERT_TRUE(other->unlock_all().ok());
  ASSERT_TRUE(orders().create_order("", {"NAME", "UPPER(NAME)", "", false, false}, &n).ok());

  // The other open appends and changes a record: both reach the new tag.
  uint32_t r;
  ASSERT_TRUE(other->append(record("second"), &r).ok());
  ASSERT_TRUE(other->lock_record(1).ok());
  ASSERT_TRUE(other->write_record(1, record("changed")).ok());
  other->unlock_all();
  EXPECT_TRUE(problems().empty()) << order::describe(problems().front());
  EXPECT_EQ(walk(), (std::vector<uint32_t>{1, 2}));
}

// An update finds a record's old keys in what this open last wrote only while
// it has kept the lock: once let go, another user may have changed the record.
TEST_F(VerifyTest, UpdatesAfterAnotherUsersChangeTakeOutItsKeys) {
  make(false);
  std::unique_ptr<table::Table> other;
  ASSERT_TRUE(table::Table::open(path_, {}, &other).ok());
  uint32_t r = 0;
  ASSERT_TRUE(table_->append(record("mine"), &r).ok());
  ASSERT_TRUE(table_->write_record(r, record("mine2")).ok()) << "still locked: its own image serves";
  ASSERT_TRUE(table_->unlock_record(r).ok());
  ASSERT_TRUE(other->lock_record(r).ok());
  ASSERT_TRUE(other->write_record(r, record("theirs")).ok());
  ASSERT_TRUE(other->unlock_record(r).ok());
  ASSERT_TRUE(table_->lock_record(r).ok());
  ASSERT_TRUE(table_->write_record(r, record("again")).ok());
  EXPECT_TRUE(problems().empty()) << order::describe(problems().front());
  for (const char* gone : {"mine", "mine2", "theirs"}) {
    cdx::Cursor c;
    bool found = true;
    ASSERT_TRUE(tag().seek(key(gone), &c, &found).ok());
    EXPECT_FALSE(found) << gone;
  }
  EXPECT_EQ(walk().size(), 21u);
}

// An appender killed after writing its record and its keys, before counting
// the record (its change to the bag begun and never ended): the keys are not
// shown, verification accepts them as an append under way, and the next append
// takes them out before adding its own.
TEST_F(VerifyTest, KeysOfAnUncountedRecordGoWithTheNextAppend) {
  make(false);
  const auto& h = table_->header();
  std::string left = record("killed");
  ASSERT_TRUE(table_->file().write_at(uint64_t(h.header_length) + 20ull * h.record_length, left.data(), left.size()).ok());
  cdx::PageStore& store = orders().order(1)->bag->store();
  bool unfinished = true;
  ASSERT_TRUE(store.begin_change(&unfinished).ok());
  EXPECT_FALSE(unfinished);
  ASSERT_TRUE(tag().insert(key("killed"), 21).ok());
  store.abandon_change();

  EXPECT_EQ(walk().size(), 20u);
  EXPECT_TRUE(problems().empty());

  append("after");
  EXPECT_TRUE(problems().empty()) << order::describe(problems().front());
  std::vector<uint32_t> order = walk();
  EXPECT_EQ(order.size(), 21u);
  EXPECT_EQ(order.front(), 21u);  // AFTER sorts first, and KILLED is gone
  cdx::Cursor c;
  bool found = true;
  ASSERT_TRUE(tag().seek(key("killed"), &c, &found).ok());
  EXPECT_FALSE(found);
}

}  // namespace
