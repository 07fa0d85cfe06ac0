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

}  // namespace
