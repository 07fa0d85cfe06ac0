// The Table: new files, appends, locks between handles, share modes, read-only
// and unlocked writes, and the index hooks.
#include <gtest/gtest.h>

#include "dbf/record.h"
#include "table/table.h"
#include "temp_dir.h"

using ace::Status;
using ace::table::OpenOptions;
using ace::table::Table;
using namespace ace::dbf;

namespace {

std::vector<FieldDesc> fields(bool memo) {
  std::vector<FieldDesc> f(2);
  f[0].name = "name";
  f[0].type = FieldType::Character;
  f[0].length = 10;
  f[1].name = "AMOUNT";
  f[1].type = FieldType::Numeric;
  f[1].length = 8;
  f[1].decimals = 2;
  if (memo) {
    f.emplace_back();
    f.back().name = "NOTE";
    f.back().type = FieldType::Memo;
  }
  return f;
}

std::unique_ptr<Table> create(const std::string& path, bool memo = false, bool vfp = false) {
  std::unique_ptr<Table> t;
  ace::table::CreateOptions co;
  co.visual_foxpro = vfp;
  Status s = Table::create(path, fields(memo), co, {}, &t);
  EXPECT_TRUE(s.ok()) << s.text;
  return t;
}

std::unique_ptr<Table> open(const std::string& path, OpenOptions o = {}) {
  std::unique_ptr<Table> t;
  Status s = Table::open(path, o, &t);
  EXPECT_TRUE(s.ok()) << s.text;
  return t;
}

std::string record_named(const Table& t, const char* name) {
  std::string rec = blank_record(t.header());
  put_text(t.header(), &rec, t.header().fields[0], name);
  return rec;
}

TEST(Table, NewTablesHaveTheLayoutOfTheirFamily) {
  ace_test::TempDir dir;
  struct Case { bool memo, vfp; uint8_t version; size_t header; };
  const Case cases[] = {{false, false, 0x03, 32 + 64 + 1}, {true, false, 0xF5, 32 + 96 + 1},
                        {true, true, 0x30, 32 + 96 + 1 + 263}};
  for (const auto& c : cases) {
    const std::string path = dir.path(std::string("t") + (c.memo ? "m" : "") + (c.vfp ? "v" : "") + ".dbf");
    auto t = create(path, c.memo, c.vfp);
    ASSERT_TRUE(t);
    uint32_t r = 0;
    ASSERT_TRUE(t->append(record_named(*t, "x"), &r).ok());
    t.reset();
    std::string bytes = ace_test::read_file(path);
    EXPECT_EQ(uint8_t(bytes[0]), c.version);
    EXPECT_EQ(bytes.size(), c.header + (c.memo ? (c.vfp ? 4 : 10) : 0) + 19 + 1) << "header, one record, 0x1A";
    EXPECT_EQ(bytes.back(), '\x1A');
    EXPECT_EQ(bytes.substr(32, 4), "NAME") << "names are stored in upper case";
    EXPECT_EQ(ace::io::file_exists(path.substr(0, path.size() - 4) + ".fpt"), c.memo);
  }
}

TEST(Table, AppendWritesRecordThenCountAndLocksTheNewRecord) {
  ace_test::TempDir dir;
  const std::string path = dir.path("a.dbf");
  auto a = create(path);
  auto b = open(path);
  uint32_t r = 0;
  ASSERT_TRUE(a->append(record_named(*a, "first"), &r).ok());
  EXPECT_EQ(r, 1u);
  EXPECT_TRUE(a->holds_record_lock(1));
  EXPECT_EQ(b->lock_record(1).code, ACE_ERR_RECORD_LOCK);
  uint32_t n = 0;
  ASSERT_TRUE(b->record_count(&n).ok());
  EXPECT_EQ(n, 1u) << "a second handle sees the append";
  ASSERT_TRUE(b->append(record_named(*b, "second"), &r).ok());
  EXPECT_EQ(r, 2u);
  std::string rec;
  ASSERT_TRUE(a->record_count(&n).ok());
  ASSERT_TRUE(a->read_record(2, &rec).ok());
  EXPECT_EQ(get_text(a->header(), rec, a->header().fields[0]), "second    ");

  // A complete record may be appended without keeping its lock.
  ASSERT_TRUE(b->append(record_named(*b, "third"), &r, ace::table::Table::NewRecord::Unlocked).ok());
  EXPECT_EQ(r, 3u);
  EXPECT_FALSE(b->holds_record_lock(3));
  EXPECT_TRUE(a->lock_record(3).ok()) << "nobody holds the new record";
  ASSERT_TRUE(a->record_count(&n).ok());
  EXPECT_EQ(n, 3u);
}

// A held header lock spans several changes of its holder and keeps other
// appenders out until the last hold is let go.
TEST(Table, HeldHeaderSpansAppendsAndNests) {
  ace_test::TempDir dir;
  const std::string path = dir.path("h.dbf");
  auto a = create(path);
  auto b = open(path);
  uint32_t r;
  ASSERT_TRUE(a->hold_header().ok());
  ASSERT_TRUE(a->hold_header().ok());
  EXPECT_EQ(b->hold_header().code, ACE_ERR_APPEND_LOCK);
  ASSERT_TRUE(a->append({}, &r).ok());
  ASSERT_TRUE(a->append({}, &r).ok());
  EXPECT_EQ(b->append({}, &r).code, ACE_ERR_APPEND_LOCK) << "the holder's appends keep the header";
  a->release_header();
  EXPECT_EQ(b->append({}, &r).code, ACE_ERR_APPEND_LOCK) << "holds nest";
  a->release_header();
  ASSERT_TRUE(b->append({}, &r).ok());
  EXPECT_EQ(r, 3u);
}

TEST(Table, LocksExcludeOtherHandlesOfOneProcess) {
  ace_test::TempDir dir;
  const std::string path = dir.path("l.dbf");
  auto a = create(path);
  uint32_t r;
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(a->append({}, &r).ok());
  ASSERT_TRUE(a->unlock_all().ok());
  auto b = open(path);

  ASSERT_TRUE(a->lock_record(1).ok());
  EXPECT_EQ(b->lock_record(1).code, ACE_ERR_RECORD_LOCK);
  EXPECT_TRUE(b->lock_record(2).ok());
  EXPECT_EQ(a->lock_file().code, ACE_ERR_FILE_LOCK) << "b holds record 2";
  EXPECT_FALSE(a->holds_record_lock(1)) << "a file lock attempt gives up the record locks";
  ASSERT_TRUE(b->unlock_all().ok());
  ASSERT_TRUE(a->lock_file().ok());
  EXPECT_EQ(b->lock_record(3).code, ACE_ERR_RECORD_LOCK);
  EXPECT_EQ(b->append({}, &r).code, ACE_ERR_APPEND_LOCK) << "the file lock covers the header";
  uint32_t n = 0;
  ASSERT_TRUE(b->record_count(&n).ok());
  EXPECT_EQ(n, 3u);
  ASSERT_TRUE(a->append({}, &r).ok()) << "the file lock's holder appends";
  ASSERT_TRUE(a->unlock_all().ok());
  EXPECT_TRUE(b->lock_record(3).ok());
  EXPECT_TRUE(b->lock_record(3).ok()) << "locking a held record again is no error";
}

TEST(Table, ShareModesAndAccess) {
  ace_test::TempDir dir;
  const std::string path = dir.path("s.dbf");
  create(path).reset();
  std::unique_ptr<Table> a, b;
  OpenOptions excl;
  excl.exclusive = true;
  ASSERT_TRUE(Table::open(path, excl, &a).ok());
  Status s = Table::open(path, {}, &b);
  EXPECT_EQ(s.code, ACE_ERR_OPEN);
  EXPECT_EQ(s.os_code, 32);
  a.reset();
  ASSERT_TRUE(Table::open(path, {}, &a).ok());
  s = Table::open(path, excl, &b);
  EXPECT_EQ(s.os_code, 32) << "exclusive is refused while others have it open";
  OpenOptions ro;
  ro.read_only = true;
  ASSERT_TRUE(Table::open(path, ro, &b).ok()) << "shared opens coexist";
  uint32_t r;
  EXPECT_EQ(b->append({}, &r).code, ACE_ERR_READONLY);

  s = Table::open(dir.path("missing.dbf"), {}, &b);
  EXPECT_EQ(s.code, ACE_ERR_OPEN);
  EXPECT_EQ(s.os_code, 2);
}

TEST(Table, SharedWritesNeedTheRecordLock) {
  ace_test::TempDir dir;
  const std::string path = dir.path("w.dbf");
  auto a = create(path);
  uint32_t r;
  ASSERT_TRUE(a->append({}, &r).ok());
  ASSERT_TRUE(a->unlock_all().ok());
  std::string rec = record_named(*a, "changed");
  EXPECT_EQ(a->write_record(1, rec).code, ACE_ERR_UNLOCKED);
  ASSERT_TRUE(a->lock_record(1).ok());
  EXPECT_TRUE(a->write_record(1, rec).ok());
  EXPECT_EQ(a->write_record(2, rec).code, ACE_ERR_ARGUMENT);
  ASSERT_TRUE(a->set_deleted(1, true).ok());
  ASSERT_TRUE(a->read_record(1, &rec).ok());
  EXPECT_TRUE(is_deleted(rec));
}

TEST(Table, MemosGrowAndShrink) {
  ace_test::TempDir dir;
  const std::string path = dir.path("m.dbf");
  auto t = create(path, true);
  uint32_t b1 = 0, b2 = 0, b3 = 0;
  ASSERT_TRUE(t->write_memo("short", 0, &b1).ok());
  ASSERT_TRUE(t->write_memo(std::string(500, 'z'), b1, &b2).ok());
  EXPECT_NE(b2, b1) << "a longer memo moves to fresh blocks";
  ASSERT_TRUE(t->write_memo("tiny", b2, &b3).ok());
  EXPECT_EQ(b3, b2) << "a shorter one stays";
  std::string text;
  ASSERT_TRUE(t->read_memo(b3, &text).ok());
  EXPECT_EQ(text, "tiny");
  ASSERT_TRUE(t->read_memo(b1, &text).ok());
  EXPECT_EQ(text, "short");
  ASSERT_TRUE(t->write_memo("", b3, &b3).ok());
  EXPECT_EQ(b3, 0u);
}

// Records every call; refuses writes when told to.
class RecordingMaintainer : public ace::table::IndexMaintainer {
 public:
  explicit RecordingMaintainer(std::vector<std::string>* log, const std::string& path)
      : log_(log), path_(path) {}
  Status check_writable() override {
    log_->push_back("check");
    return refuse ? Status::error(ACE_ERR_INDEX_UNMAINTAINABLE, path_, "tag cannot be kept") : Status::success();
  }
  Status on_append(uint32_t recno, const ace::table::RecordView& rec) override {
    // The record is in the file but not yet counted.
    std::unique_ptr<Table> other;
    uint32_t n = 0;
    if (Table::open(path_, {}, &other).ok()) other->record_count(&n);
    log_->push_back("append " + std::to_string(recno) + " counted " + std::to_string(n) + " " +
                    std::string(rec.bytes().substr(1, 5)));
    return Status::success();
  }
  Status on_update(uint32_t recno, const ace::table::RecordView& before, const ace::table::RecordView& after) override {
    log_->push_back("update " + std::to_string(recno) + " " + std::string(before.bytes().substr(1, 5)) + "->" +
                    std::string(after.bytes().substr(1, 5)));
    return Status::success();
  }
  bool refuse = false;

 private:
  std::vector<std::string>* log_;
  std::string path_;
};

TEST(Table, IndexHooksSurroundWritesAndCanRefuseThem) {
  ace_test::TempDir dir;
  const std::string path = dir.path("h.dbf");
  auto t = create(path);
  std::vector<std::string> log;
  auto m = std::make_unique<RecordingMaintainer>(&log, path);
  RecordingMaintainer* hook = m.get();
  t->set_index_maintainer(std::move(m));
  uint32_t r;
  ASSERT_TRUE(t->append(record_named(*t, "alpha"), &r).ok());
  ASSERT_TRUE(t->write_record(1, record_named(*t, "beta")).ok());
  EXPECT_EQ(log, (std::vector<std::string>{"check", "append 1 counted 0 alpha", "check", "update 1 alpha->beta "}));

  hook->refuse = true;
  const std::string before = ace_test::read_file(path);
  EXPECT_EQ(t->write_record(1, record_named(*t, "gamma")).code, ACE_ERR_INDEX_UNMAINTAINABLE);
  EXPECT_EQ(t->append(record_named(*t, "delta"), &r).code, ACE_ERR_INDEX_UNMAINTAINABLE);
  EXPECT_EQ(ace_test::read_file(path), before) << "a refused write leaves the file as it was";
}

TEST(Table, StructuralBagOpensThroughTheRegisteredFactory) {
  ace_test::TempDir dir;
  const std::string path = dir.path("bag.dbf");
  std::unique_ptr<Table> t;
  ace::table::CreateOptions co;
  co.structural_cdx = true;
  ASSERT_TRUE(Table::create(path, fields(false), co, {}, &t).ok());  // no factory: opens bare
  EXPECT_EQ(t->index_maintainer(), nullptr);
  t.reset();
  std::string seen;
  ace::table::register_structural_bag_factory(
      [&](Table&, const std::string& bag, std::unique_ptr<ace::table::IndexMaintainer>*) {
        seen = bag;
        return Status::error(ACE_ERR_INDEX, bag, "bag is damaged");
      });
  Status s = Table::open(path, {}, &t);
  ace::table::register_structural_bag_factory(nullptr);
  EXPECT_EQ(seen, dir.path("bag.cdx"));
  EXPECT_EQ(s.code, ACE_ERR_INDEX) << "a bag that fails to open fails the table's open";
}

}  // namespace
