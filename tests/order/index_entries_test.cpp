// The C entries for orders, on a fixture table and a table made through the
// interface: order listing, controlling order, seeks, building and verifying.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ace32.h"
#include "ace32_errors.h"

namespace fs = std::filesystem;

namespace {

class IndexEntries : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("order_entries_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    ace_exit();
    fs::remove_all(dir_);
  }
  fs::path dir_;
};

std::string text(ACE_RESULT(ACE_ENTRY* get)(ACE_HANDLE, uint16_t, char*, uint32_t*), ACE_HANDLE h, uint16_t order) {
  char buf[256];
  uint32_t len = sizeof buf;
  EXPECT_EQ(get(h, order, buf, &len), ACE_OK);
  return std::string(buf, len);
}

std::vector<uint32_t> walk(ACE_HANDLE h) {
  std::vector<uint32_t> out;
  uint16_t eof = 0;
  EXPECT_EQ(ace_go_top(h), ACE_OK);
  while (ace_at_eof(h, &eof) == ACE_OK && !eof && out.size() < 1000) {
    uint32_t r;
    ace_recno(h, &r);
    out.push_back(r);
    EXPECT_EQ(ace_skip(h, 1), ACE_OK);
  }
  return out;
}

TEST_F(IndexEntries, FixtureOrdersListSeekAndWalk) {
  // Copied by content: the fixtures are read-only files, the copies must not be.
  for (const char* f : {"calls.dbf", "calls.CDX", "calls.FPT"}) {
    std::ifstream in(fs::path(FIXTURE_DIR) / f, std::ios::binary);
    std::ofstream(dir_ / f, std::ios::binary) << in.rdbuf();
  }
  ACE_HANDLE h;
  ASSERT_EQ(ace_open_table((dir_ / "calls.dbf").string().c_str(), nullptr, ACE_TABLE_CDX, ACE_OPEN_EXCLUSIVE, &h), ACE_OK);
  uint16_t count = 0, order = 9;
  ASSERT_EQ(ace_order_count(h, &count), ACE_OK);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(text(ace_order_name, h, 1), "CALL_ID");
  EXPECT_EQ(text(ace_order_key, h, 2), "contact_id");
  EXPECT_EQ(text(ace_order_condition, h, 1), "");
  ASSERT_EQ(ace_get_order(h, &order), ACE_OK);
  EXPECT_EQ(order, 0);

  ASSERT_EQ(ace_set_order(h, 1), ACE_OK);
  uint16_t found = 0;
  ASSERT_EQ(ace_seek_double(h, 7, 0, &found), ACE_OK);
  EXPECT_EQ(found, 1);
  uint32_t r = 0;
  ace_recno(h, &r);
  EXPECT_EQ(r, 7u);  // CALL_ID n is record n in this table
  ASSERT_EQ(ace_seek_double(h, 99, 0, &found), ACE_OK);
  EXPECT_EQ(found, 0);
  uint16_t eof = 0;
  ace_at_eof(h, &eof);
  EXPECT_EQ(eof, 1);
  EXPECT_EQ(walk(h).size(), 16u);
  EXPECT_EQ(ace_set_order(h, 3), ACE_ERR_NO_ORDER);
  EXPECT_EQ(ace_verify_indexes(h, nullptr, nullptr, nullptr), ACE_OK);
}

TEST_F(IndexEntries, BuiltOrderControlsAndFollowsAppends) {
  ACE_HANDLE h;
  ASSERT_EQ(ace_create_table((dir_ / "names.dbf").string().c_str(), nullptr, "NAME,C,10,0;N,N,5,0", ACE_TABLE_CDX,
                             ACE_OPEN_EXCLUSIVE, &h), ACE_OK);
  const char* names[] = {"pear", "apple", "fig", "apple", "kiwi"};
  for (const char* n : names) {
    ASSERT_EQ(ace_append(h), ACE_OK);
    ASSERT_EQ(ace_set_string(h, 1, n, static_cast<uint32_t>(strlen(n))), ACE_OK);
  }
  uint16_t order = 0;
  ASSERT_EQ(ace_create_index(h, nullptr, "c:\\data\\byname", "UPPER(NAME)", nullptr, 0, &order), ACE_ERR_TAG_NAME)
      << "tag names come already cut to a base name";
  ASSERT_EQ(ace_create_index(h, nullptr, "BYNAME", "UPPER(NAME)", nullptr, 0, &order), ACE_OK);
  EXPECT_EQ(order, 1);
  uint16_t controlling = 0;
  ace_get_order(h, &controlling);
  EXPECT_EQ(controlling, 1);
  uint32_t r = 0;
  ace_recno(h, &r);
  EXPECT_EQ(r, 2u);  // first in key order: APPLE, record 2
  EXPECT_EQ(walk(h), (std::vector<uint32_t>{2, 4, 3, 5, 1}));

  ASSERT_EQ(ace_append(h), ACE_OK);
  ASSERT_EQ(ace_set_string(h, 1, "banana", 6), ACE_OK);
  EXPECT_EQ(walk(h), (std::vector<uint32_t>{2, 4, 6, 3, 5, 1}));
  uint16_t found = 0;
  ASSERT_EQ(ace_seek(h, "FI", 2, 0, &found), ACE_OK);
  EXPECT_EQ(found, 1);
  ace_recno(h, &r);
  EXPECT_EQ(r, 3u);
  ASSERT_EQ(ace_seek(h, "GRAPE", 5, 1, &found), ACE_OK);
  EXPECT_EQ(found, 0);
  ace_recno(h, &r);
  EXPECT_EQ(r, 5u);  // soft: KIWI follows
  EXPECT_EQ(ace_verify_indexes(h, nullptr, nullptr, nullptr), ACE_OK);
  EXPECT_EQ(ace_reindex(h), ACE_OK);
  EXPECT_EQ(ace_verify_indexes(h, nullptr, nullptr, nullptr), ACE_OK);

  // The table reopens with its structural bag.
  ASSERT_EQ(ace_close_table(h), ACE_OK);
  ASSERT_EQ(ace_open_table((dir_ / "names.dbf").string().c_str(), nullptr, ACE_TABLE_CDX, ACE_OPEN_EXCLUSIVE, &h), ACE_OK);
  uint16_t count = 0;
  ace_order_count(h, &count);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(ace_verify_indexes(h, nullptr, nullptr, nullptr), ACE_OK);
}

// Field writes stay with the cursor until it leaves the record, but nothing may
// see the file without them: the same cursor, a seek, and another handle on the
// same table all find the new values; a write without the lock is refused at once.
TEST_F(IndexEntries, HeldFieldWritesAreSeenEverywhereInTheEngine) {
  const std::string path = (dir_ / "held.dbf").string();
  ACE_HANDLE a, b;
  ASSERT_EQ(ace_create_table(path.c_str(), nullptr, "NAME,C,10,0;N,N,5,0", ACE_TABLE_CDX, ACE_OPEN_EXCLUSIVE, &a),
            ACE_OK);
  uint16_t order = 0;
  ASSERT_EQ(ace_create_index(a, nullptr, "BYNAME", "NAME", nullptr, 0, &order), ACE_OK);
  ASSERT_EQ(ace_close_table(a), ACE_OK);
  ASSERT_EQ(ace_open_table(path.c_str(), nullptr, ACE_TABLE_CDX, 0, &a), ACE_OK);
  ASSERT_EQ(ace_open_table(path.c_str(), nullptr, ACE_TABLE_CDX, 0, &b), ACE_OK);
  auto name = [](ACE_HANDLE h) {
    char buf[32];
    uint32_t len = sizeof buf;
    EXPECT_EQ(ace_get_string(h, 1, buf, &len), ACE_OK);
    return std::string(buf, len);
  };

  ASSERT_EQ(ace_append(a), ACE_OK);
  ASSERT_EQ(ace_set_string(a, 1, "plum", 4), ACE_OK);
  EXPECT_EQ(name(a), "plum      ");
  // Another handle's entry writes the record first.
  ASSERT_EQ(ace_go_to(b, 1), ACE_OK);
  EXPECT_EQ(name(b), "plum      ");
  EXPECT_EQ(ace_set_string(b, 1, "pear", 4), ACE_ERR_UNLOCKED) << "a held write still needs the lock";

  // A seek on the same cursor finds the key of a value not yet written.
  ASSERT_EQ(ace_set_string(a, 1, "quince", 6), ACE_OK);
  uint16_t found = 0;
  ASSERT_EQ(ace_set_order(a, order), ACE_OK);
  ASSERT_EQ(ace_seek(a, "QUINCE", 6, 0, &found), ACE_OK);
  EXPECT_EQ(found, 0) << "keys are case-sensitive: the written value was lower case";
  ASSERT_EQ(ace_seek(a, "quince", 6, 0, &found), ACE_OK);
  EXPECT_EQ(found, 1);

  // Unlocking writes the record before others may take it.
  ASSERT_EQ(ace_set_double(a, 2, 42), ACE_OK);
  ASSERT_EQ(ace_unlock_all(a), ACE_OK);
  ASSERT_EQ(ace_lock_record(b, 1), ACE_OK);
  double n = 0;
  ASSERT_EQ(ace_get_double(b, 2, &n), ACE_OK);
  EXPECT_EQ(n, 42);
  ASSERT_EQ(ace_set_string(b, 1, "fig", 3), ACE_OK);
  ASSERT_EQ(ace_close_table(b), ACE_OK);
  ASSERT_EQ(ace_go_to(a, 1), ACE_OK);
  EXPECT_EQ(name(a), "fig       ");
  EXPECT_EQ(ace_verify_indexes(a, nullptr, nullptr, nullptr), ACE_OK);
  ASSERT_EQ(ace_close_table(a), ACE_OK);
}

// Seeks in a date order and a character order: exact, soft and past the end,
// with hidden deleted records passed over.
TEST_F(IndexEntries, SeeksHonourSoftAndTheDeletedFilter) {
  ACE_HANDLE h;
  ASSERT_EQ(ace_create_table((dir_ / "days.dbf").string().c_str(), nullptr, "NAME,C,8,0;DAY,D", ACE_TABLE_CDX,
                             ACE_OPEN_EXCLUSIVE, &h), ACE_OK);
  const int32_t base = 2450462;  // 1997-01-13
  const char* names[] = {"ana", "bea", "bea", "cloe"};
  for (int i = 0; i < 4; ++i) {
    ASSERT_EQ(ace_append(h), ACE_OK);
    ASSERT_EQ(ace_set_string(h, 1, names[i], static_cast<uint32_t>(strlen(names[i]))), ACE_OK);
    ASSERT_EQ(ace_set_julian(h, 2, base + 10 * i), ACE_OK);
  }
  ASSERT_EQ(ace_create_index(h, nullptr, "DAY", "DAY", nullptr, 0, nullptr), ACE_OK);
  ASSERT_EQ(ace_create_index(h, nullptr, "NAME", "NAME", nullptr, 0, nullptr), ACE_OK);

  struct {
    const char* order;
    const char* key;  // null: the day base + offset
    int offset;
    uint16_t soft;
    uint16_t found;
    uint32_t recno;  // 5: end of file
  } cases[] = {
      {"DAY", nullptr, 20, 0, 1, 3}, {"DAY", nullptr, 15, 0, 0, 5}, {"DAY", nullptr, 15, 1, 0, 3},
      {"DAY", nullptr, 99, 1, 0, 5}, {"NAME", "bea", 0, 0, 1, 2},   {"NAME", "be", 0, 0, 1, 2},
      {"NAME", "bz", 0, 1, 0, 4},    {"NAME", "zz", 0, 1, 0, 5},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(std::string(c.order) + " " + (c.key ? c.key : std::to_string(c.offset)));
    ASSERT_EQ(ace_set_order_by_name(h, c.order), ACE_OK);
    uint16_t found = 9;
    ASSERT_EQ(c.key ? ace_seek(h, c.key, static_cast<uint32_t>(strlen(c.key)), c.soft, &found)
                    : ace_seek_double(h, base + c.offset, c.soft, &found),
              ACE_OK);
    uint32_t r = 0;
    ace_recno(h, &r);
    EXPECT_EQ(found, c.found);
    EXPECT_EQ(r, c.recno);
  }

  // With deleted records hidden, the first "bea" (record 2) is passed over.
  ASSERT_EQ(ace_go_to(h, 2), ACE_OK);
  ASSERT_EQ(ace_delete(h), ACE_OK);
  ASSERT_EQ(ace_show_deleted(0), ACE_OK);
  uint16_t found = 0;
  uint32_t r = 0;
  ASSERT_EQ(ace_seek(h, "bea", 3, 0, &found), ACE_OK);
  ace_recno(h, &r);
  EXPECT_EQ(found, 1);
  EXPECT_EQ(r, 3u);
  EXPECT_EQ(walk(h), (std::vector<uint32_t>{1, 3, 4}));
  ASSERT_EQ(ace_show_deleted(1), ACE_OK);
  EXPECT_EQ(ace_seek_double(h, 1, 0, &found), ACE_ERR_KEY_TYPE);  // NAME is no number
  ASSERT_EQ(ace_set_order(h, 0), ACE_OK);
  EXPECT_EQ(ace_seek(h, "bea", 3, 0, &found), ACE_ERR_NO_ORDER);
  EXPECT_EQ(ace_close_table(h), ACE_OK);
}

// An order in a bag of its own: made without a tag (the bag's name is the tag),
// closed with the other orders while the structural ones stay, opened again.
TEST_F(IndexEntries, OwnBagsOpenAndClose) {
  ACE_HANDLE h;
  ASSERT_EQ(ace_create_table((dir_ / "items.dbf").string().c_str(), nullptr, "CODE,C,6,0;QTY,N,5,0",
                             ACE_TABLE_CDX, ACE_OPEN_EXCLUSIVE, &h), ACE_OK);
  for (const char* code : {"b2", "a1", "c3"}) {
    ASSERT_EQ(ace_append(h), ACE_OK);
    ASSERT_EQ(ace_set_string(h, 1, code, 2), ACE_OK);
  }
  uint16_t order = 0, count = 0;
  ASSERT_EQ(ace_create_index(h, nullptr, "CODE", "CODE", nullptr, 0, &order), ACE_OK);
  const std::string bag = (dir_ / "by.qty.cdx").string();
  ASSERT_EQ(ace_create_index(h, bag.c_str(), nullptr, "QTY", "QTY >= 0", ACE_INDEX_DESCENDING, &order), ACE_OK);
  EXPECT_EQ(order, 2);
  EXPECT_EQ(text(ace_order_name, h, 2), "BY");
  uint32_t options = 0;
  ASSERT_EQ(ace_order_options(h, 2, &options), ACE_OK);
  EXPECT_EQ(options, ACE_INDEX_DESCENDING);
  EXPECT_EQ(text(ace_order_condition, h, 2), "QTY >= 0");

  ASSERT_EQ(ace_close_indexes(h), ACE_OK);
  ASSERT_EQ(ace_order_count(h, &count), ACE_OK);
  EXPECT_EQ(count, 1);  // the structural CODE stays
  ASSERT_EQ(ace_get_order(h, &order), ACE_OK);
  EXPECT_EQ(order, 0);
  ASSERT_EQ(ace_open_index(h, bag.c_str(), &count), ACE_OK);
  EXPECT_EQ(count, 2);
  ASSERT_EQ(ace_order_number(h, "by", &order), ACE_OK);
  EXPECT_EQ(order, 2);
  EXPECT_EQ(ace_create_index(h, nullptr, "BAD NAME", "CODE", nullptr, 0, nullptr), ACE_ERR_TAG_NAME);
  EXPECT_EQ(ace_create_index(h, nullptr, "X", "CODE +", nullptr, 0, nullptr), ACE_ERR_KEY_SYNTAX);
  uint32_t problems = 1;
  EXPECT_EQ(ace_verify_indexes(h, &problems, nullptr, nullptr), ACE_OK);
  EXPECT_EQ(problems, 0u);
  EXPECT_EQ(ace_close_table(h), ACE_OK);
}

}  // namespace
