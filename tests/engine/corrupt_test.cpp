// Damaged copies of sample tables and memo files: each gives an error that names
// the damaged file, never a crash or a read outside the file.
#include <functional>

#include <gtest/gtest.h>

#include "dbf/record.h"
#include "table/table.h"
#include "temp_dir.h"

using ace::table::Table;
using ace_test::fixture;
using ace_test::read_file;
using ace_test::write_file;

namespace {

void put16(std::string& b, size_t at, uint32_t v) {
  b[at] = static_cast<char>(v);
  b[at + 1] = static_cast<char>(v >> 8);
}
void put32(std::string& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(v >> (8 * i));
}

struct Damage {
  const char* what;
  std::function<void(std::string&)> apply;
  uint32_t code;
};

// dbase_8b.dbf: 10 records of 160 bytes after a 225-byte header, then 0x1A.
TEST(CorruptTable, EachDamageIsReportedWithTheFile) {
  const std::string good = read_file(fixture("dbase_8b.dbf"));
  ASSERT_EQ(good.size(), 225u + 10 * 160 + 1);
  const Damage cases[] = {
      {"cut inside the file header", [](std::string& b) { b.resize(20); }, ACE_ERR_CORRUPT},
      {"cut inside the field list", [](std::string& b) { b.resize(100); }, ACE_ERR_CORRUPT},
      {"header length past the end", [](std::string& b) { put16(b, 8, 0xFFFF); }, ACE_ERR_CORRUPT},
      {"header length zero", [](std::string& b) { put16(b, 8, 0); }, ACE_ERR_CORRUPT},
      {"record length shorter than its fields", [](std::string& b) { put16(b, 10, 50); }, ACE_ERR_CORRUPT},
      {"huge record count", [](std::string& b) { put32(b, 4, 0xFFFFFFFFu); }, ACE_ERR_CORRUPT},
      {"one record missing", [](std::string& b) { b.resize(225 + 9 * 160 + 100); }, ACE_ERR_CORRUPT},
      {"unknown version", [](std::string& b) { b[0] = 0x7F; }, ACE_ERR_UNSUPPORTED},
      {"unknown field type", [](std::string& b) { b[32 + 11] = '@'; }, ACE_ERR_UNSUPPORTED},
      {"date field nine bytes long", [](std::string& b) { b[32 * 3 + 16] = 9; }, ACE_ERR_CORRUPT},
      {"field without a name", [](std::string& b) { b[32] = 0; }, ACE_ERR_CORRUPT},
  };
  ace_test::TempDir dir;
  const std::string path = dir.path("damaged.dbf");
  // The memo file stays whole, so only the table is at fault.
  write_file(dir.path("damaged.dbt"), read_file(fixture("dbase_8b.dbt")));
  for (const auto& c : cases) {
    std::string bytes = good;
    c.apply(bytes);
    write_file(path, bytes);
    std::unique_ptr<Table> t;
    ace::Status s = Table::open(path, {}, &t);
    EXPECT_EQ(s.code, c.code) << c.what << ": " << s.text;
    EXPECT_EQ(s.file, path) << c.what;
    EXPECT_FALSE(t) << c.what;
  }
}

TEST(CorruptTable, MissingEndMarkIsNoDamage) {
  ace_test::TempDir dir;
  std::string bytes = read_file(fixture("dbase_8b.dbf"));
  bytes.pop_back();
  const std::string path = dir.path("noeof.dbf");
  write_file(path, bytes);
  write_file(dir.path("noeof.dbt"), read_file(fixture("dbase_8b.dbt")));
  std::unique_ptr<Table> t;
  ASSERT_TRUE(Table::open(path, {}, &t).ok());
  std::string rec;
  EXPECT_TRUE(t->read_record(10, &rec).ok());
}

// calls.dbf (Visual FoxPro, binary memo pointers at NOTES) with calls.FPT.
TEST(CorruptMemo, BadBlocksAreReportedWithTheMemoFile) {
  ace_test::TempDir dir;
  const std::string path = dir.path("calls.dbf");
  const std::string mpath = dir.path("calls.fpt");
  write_file(path, read_file(fixture("calls.dbf")));
  const std::string good_memo = read_file(fixture("calls.FPT"));

  struct MemoDamage {
    const char* what;
    std::function<void(std::string& memo)> apply;
    uint32_t block;  // 0: the record's own
  };
  const MemoDamage cases[] = {
      {"block past the end", [](std::string&) {}, 100000},
      {"block inside the header", [](std::string&) {}, 1},
      {"length past the end", [](std::string& m) { m[8 * 64 + 4] = 0x7F; }, 0},
      {"file cut inside the memo", [](std::string& m) { m.resize(8 * 64 + 12); }, 0},
  };
  for (const auto& c : cases) {
    std::string memo = good_memo;
    c.apply(memo);
    write_file(mpath, memo);
    std::unique_ptr<Table> t;
    ASSERT_TRUE(Table::open(path, {}, &t).ok()) << c.what;
    std::string rec, text;
    ASSERT_TRUE(t->read_record(1, &rec).ok());
    const auto& notes = t->header().fields[5];
    uint32_t block = c.block ? c.block : ace::dbf::memo_block(t->header(), rec, notes);
    if (!c.block) {
      ASSERT_EQ(block, 8u) << "the sample's first memo starts at block 8";
    }
    ace::Status s = t->read_memo(block, &text);
    EXPECT_EQ(s.code, ACE_ERR_CORRUPT) << c.what;
    EXPECT_EQ(s.file, mpath) << c.what;
  }

  // A block size of 0 is refused at open; a missing memo file too, naming it.
  std::string memo = good_memo;
  memo[6] = memo[7] = 0;
  write_file(mpath, memo);
  std::unique_ptr<Table> t;
  ace::Status s = Table::open(path, {}, &t);
  EXPECT_EQ(s.code, ACE_ERR_CORRUPT);
  EXPECT_EQ(s.file, mpath);
  std::remove(mpath.c_str());
  s = Table::open(path, {}, &t);
  EXPECT_EQ(s.code, ACE_ERR_OPEN);
  EXPECT_EQ(s.os_code, 2);
  EXPECT_EQ(s.file, mpath);
}

}  // namespace
