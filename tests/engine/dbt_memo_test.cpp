// Writing DBT memos: new dBASE III memo tables and a copy of a dBASE IV one take
// memos of every size and give them back, reuse blocks on shrinking, refuse what
// a dBASE III memo cannot hold and never write through a damaged header.
#include <gtest/gtest.h>

#include "dbf/record.h"
#include "table/table.h"
#include "temp_dir.h"

using ace::Status;
using ace::table::Table;
using ace_test::TempDir;
using namespace ace::dbf;

namespace {

uint32_t le32_at(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[at + i]);
  return v;
}

std::string dbt_of(const std::string& dbf) { return dbf.substr(0, dbf.size() - 4) + ".dbt"; }
uint32_t next_free(const std::string& dbf) { return le32_at(ace_test::read_file(dbt_of(dbf)), 0); }

std::unique_ptr<Table> open(const std::string& path) {
  std::unique_ptr<Table> t;
  Status s = Table::open(path, {}, &t);
  EXPECT_TRUE(s.ok()) << s.text;
  return t;
}

// A new dBASE III table with a memo field, or a copy of the dBASE IV fixture;
// `fpt`: a new FoxPro 2 table instead.
std::string make_table(TempDir& dir, bool dbase4, bool fpt = false) {
  if (dbase4) {
    const std::string path = dir.path("dbase_8b.dbf");
    ace_test::write_file(path, ace_test::read_file(ace_test::fixture("dbase_8b.dbf")));
    ace_test::write_file(dbt_of(path), ace_test::read_file(ace_test::fixture("dbase_8b.dbt")));
    return path;
  }
  const std::string path = dir.path("d3.dbf");
  std::vector<FieldDesc> f(2);
  f[0].name = "NAME";
  f[0].type = FieldType::Character;
  f[0].length = 8;
  f[1].name = "NOTE";
  f[1].type = FieldType::Memo;
  ace::table::CreateOptions co;
  co.memo_kind = fpt ? MemoKind::Fpt : MemoKind::Dbt3;
  std::unique_ptr<Table> t;
  Status s = Table::create(path, f, co, {}, &t);
  EXPECT_TRUE(s.ok()) << s.text;
  return path;
}

const char* kind_name(bool dbase4) { return dbase4 ? "dBASE IV" : "dBASE III"; }

std::string text_of(size_t n) {
  std::string s(n, 'x');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>('a' + i % 26);
  return s;
}

TEST(DbtMemo, NewDbase3TablesAreVersion83WithAnEmptyDbt) {
  TempDir dir;
  const std::string path = make_table(dir, false);
  const std::string dbf = ace_test::read_file(path);
  const std::string dbt = ace_test::read_file(dbt_of(path));
  EXPECT_EQ(static_cast<uint8_t>(dbf[0]), 0x83);
  ASSERT_EQ(dbt.size(), 512u);
  EXPECT_EQ(le32_at(dbt, 0), 1u);
  EXPECT_EQ(dbt[16], 3);

  // Pointers are ten digits, right-aligned with leading blanks.
  auto t = open(path);
  uint32_t block = 0, recno = 0;
  ASSERT_TRUE(t->write_memo("hello", 0, &block).ok());
  std::string rec = blank_record(t->header());
  put_memo_block(t->header(), &rec, t->header().fields[1], block);
  ASSERT_TRUE(t->append(rec, &recno).ok());
  ASSERT_TRUE(t->flush().ok());
  std::string back;
  ASSERT_TRUE(t->read_record(recno, &back).ok());
  EXPECT_EQ(back.substr(t->header().fields[1].offset, 10), "         1");
}

TEST(DbtMemo, MemosOfEverySizeComeBackAndTakeTheirBlocks) {
  // Blocks a text takes: dBASE III adds its two end marks, dBASE IV its 8-byte
  // block header.
  struct Case { size_t size; uint32_t dbase3_blocks, dbase4_blocks; };
  const Case cases[] = {{0, 0, 0},       {1, 1, 1},       {504, 1, 1},     {505, 1, 2},
                        {510, 1, 2},     {511, 2, 2},     {512, 2, 2},     {513, 2, 2},
                        {1535, 4, 4},    {102400, 201, 201}};
  for (bool dbase4 : {false, true}) {
    SCOPED_TRACE(kind_name(dbase4));
    TempDir dir;
    const std::string path = make_table(dir, dbase4);
    std::vector<uint32_t> blocks;
    {
      auto t = open(path);
      for (const Case& c : cases) {
        const uint32_t before = next_free(path);
        uint32_t block = 0;
        Status s = t->write_memo(text_of(c.size), 0, &block);
        ASSERT_TRUE(s.ok()) << c.size << ": " << s.text;
        EXPECT_EQ(next_free(path) - before, dbase4 ? c.dbase4_blocks : c.dbase3_blocks) << c.size;
        EXPECT_EQ(block, c.size ? before : 0u) << c.size;
        blocks.push_back(block);
      }
      ASSERT_TRUE(t->flush().ok());
    }
    EXPECT_EQ(ace_test::read_file(dbt_of(path)).size(), uint64_t(next_free(path)) * 512)
        << "the file ends on its last block";
    auto t = open(path);
    for (size_t i = 0; i < blocks.size(); ++i) {
      std::string text;
      ASSERT_TRUE(t->read_memo(blocks[i], &text).ok()) << cases[i].size;
      EXPECT_EQ(text, text_of(cases[i].size)) << cases[i].size;
    }
    if (dbase4) {
      std::string first;
      ASSERT_TRUE(t->read_memo(1, &first).ok());
      EXPECT_EQ(first, "First memo\r\n") << "the fixture's own memos stay";
    }
  }
}

TEST(DbtMemo, RewritesShrinkInPlaceAndGrowAtTheEnd) {
  for (bool dbase4 : {false, true}) {
    SCOPED_TRACE(kind_name(dbase4));
    TempDir dir;
    const std::string path = make_table(dir, dbase4);
    auto t = open(path);
    uint32_t a = 0, b = 0, a2 = 0, a3 = 0;
    ASSERT_TRUE(t->write_memo(text_of(1200), 0, &a).ok());
    ASSERT_TRUE(t->write_memo("neighbour", 0, &b).ok());
    const uint32_t end = next_free(path);

    ASSERT_TRUE(t->write_memo("shorter", a, &a2).ok());
    EXPECT_EQ(a2, a) << "a shorter text reuses the old blocks";
    EXPECT_EQ(next_free(path), end);

    ASSERT_TRUE(t->write_memo(text_of(2000), a2, &a3).ok());
    EXPECT_EQ(a3, end) << "a longer text goes to the end";

    std::string text;
    ASSERT_TRUE(t->read_memo(a3, &text).ok());
    EXPECT_EQ(text, text_of(2000));
    ASSERT_TRUE(t->read_memo(b, &text).ok());
    EXPECT_EQ(text, "neighbour");
    ASSERT_TRUE(t->read_memo(a2, &text).ok());
    EXPECT_EQ(text, "shorter") << "no trace of the longer text it replaced";
  }
}

TEST(DbtMemo, Dbase3RefusesTheEndMarkInsideATextDbase4KeepsIt) {
  const std::string text = std::string("before\x1A") + "after";
  for (bool dbase4 : {false, true}) {
    SCOPED_TRACE(kind_name(dbase4));
    TempDir dir;
    const std::string path = make_table(dir, dbase4);
    auto t = open(path);
    const uint32_t before = next_free(path);
    uint32_t block = 0;
    Status s = t->write_memo(text, 0, &block);
    if (!dbase4) {
      EXPECT_EQ(s.code, ACE_ERR_DATATYPE);
      EXPECT_NE(s.text.find("0x1A"), std::string::npos) << s.text;
      EXPECT_EQ(next_free(path), before);
      continue;
    }
    ASSERT_TRUE(s.ok()) << s.text;
    std::string back;
    ASSERT_TRUE(t->read_memo(block, &back).ok());
    EXPECT_EQ(back, text);
  }
}

// FPT files share the guard: a next free block of 0 there would put the memo
// over the header too.
TEST(DbtMemo, ADamagedNextFreeIsReportedWithTheFileAndNothingIsWritten) {
  const uint32_t bad[] = {0, 0x00FFFFFF};
  struct Kind { const char* name; bool dbase4, fpt; };
  const Kind kinds[] = {{"dBASE III", false, false}, {"dBASE IV", true, false}, {"FPT", false, true}};
  for (const Kind& k : kinds) {
    for (uint32_t nf : bad) {
      SCOPED_TRACE(std::string(k.name) + " next free " + std::to_string(nf));
      TempDir dir;
      const std::string path = make_table(dir, k.dbase4, k.fpt);
      const std::string memo = path.substr(0, path.size() - 4) + (k.fpt ? ".fpt" : ".dbt");
      std::string bytes = ace_test::read_file(memo);
      for (int i = 0; i < 4; ++i) bytes[k.fpt ? 3 - i : i] = static_cast<char>(nf >> (8 * i));
      ace_test::write_file(memo, bytes);

      auto t = open(path);
      ASSERT_TRUE(t);
      uint32_t block = 7;
      Status s = t->write_memo("text", 0, &block);
      EXPECT_EQ(s.code, ACE_ERR_CORRUPT);
      EXPECT_EQ(s.file, memo);
      EXPECT_EQ(block, 7u);
      EXPECT_EQ(ace_test::read_file(memo), bytes) << "the memo file is untouched";
      if (k.dbase4) {
        std::string first;
        EXPECT_TRUE(t->read_memo(1, &first).ok()) << "reading still works";
      }
    }
  }
}

}  // namespace
