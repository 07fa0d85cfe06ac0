// The C interface: field values by type, navigation with the deleted-record
// filter, locks between handles, and the errors and their details.
#include <cstring>

#include <gtest/gtest.h>

#include "ace32.h"
#include "ace32_errors.h"
#include "temp_dir.h"

namespace {

struct LastError {
  uint32_t number = 0;
  int32_t os = 0;
  std::string file, text;
};

LastError last_error() {
  LastError e;
  char file[300], text[300];
  uint32_t fl = sizeof file, tl = sizeof text;
  ace_get_last_error(&e.number, &e.os, file, &fl, text, &tl);
  e.file.assign(file, fl);
  e.text.assign(text, tl);
  return e;
}

std::string get(ACE_HANDLE h, uint16_t f) {
  char buf[64];
  uint32_t len = sizeof buf;
  EXPECT_EQ(ace_get_string(h, f, buf, &len), ACE_OK);
  return std::string(buf, len);
}

class Api : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = dir_.path("api.dbf");
    ASSERT_EQ(ace_create_table(path_.c_str(), "API", "NAME,C,8;AMOUNT,N,8,2;BORN,D;OK,L;NOTE,M", ACE_TABLE_CDX, 0, &h_), ACE_OK);
  }
  void TearDown() override {
    ace_show_deleted(1);
    ace_exit();
  }
  void append_named(const char* name) {
    ASSERT_EQ(ace_append(h_), ACE_OK);
    ASSERT_EQ(ace_set_string(h_, 1, name, static_cast<uint32_t>(std::strlen(name))), ACE_OK);
  }
  ace_test::TempDir dir_;
  std::string path_;
  ACE_HANDLE h_ = 0;
};

TEST_F(Api, FieldsByType) {
  uint16_t n = 0;
  ASSERT_EQ(ace_field_count(h_, &n), ACE_OK);
  EXPECT_EQ(n, 5);
  char name[11], type;
  uint16_t len, dec;
  ASSERT_EQ(ace_field_info(h_, 2, name, sizeof name, &type, &len, &dec), ACE_OK);
  EXPECT_STREQ(name, "AMOUNT");
  EXPECT_EQ(type, 'N');
  EXPECT_EQ(len, 8);
  EXPECT_EQ(dec, 2);
  uint16_t field = 0;
  ASSERT_EQ(ace_field_number(h_, "born", &field), ACE_OK);
  EXPECT_EQ(field, 3);

  ASSERT_EQ(ace_append(h_), ACE_OK);
  uint16_t empty = 0;
  ASSERT_EQ(ace_is_empty(h_, 2, &empty), ACE_OK);
  EXPECT_EQ(empty, 1);
  ASSERT_EQ(ace_set_double(h_, 2, 12.345), ACE_OK);
  EXPECT_EQ(get(h_, 2), "   12.35");
  ASSERT_EQ(ace_set_julian(h_, 3, 2450462), ACE_OK);
  int32_t j = 0;
  ASSERT_EQ(ace_get_julian(h_, 3, &j), ACE_OK);
  EXPECT_EQ(j, 2450462);
  EXPECT_EQ(get(h_, 3), "19970113");
  ASSERT_EQ(ace_set_logical(h_, 4, 1), ACE_OK);
  uint16_t l = 0;
  ASSERT_EQ(ace_get_logical(h_, 4, &l), ACE_OK);
  EXPECT_EQ(l, 1);
  std::string memo(5000, 'm');
  ASSERT_EQ(ace_set_string(h_, 5, memo.data(), static_cast<uint32_t>(memo.size())), ACE_OK);
  std::string big(6000, '\0');
  uint32_t blen = static_cast<uint32_t>(big.size());
  ASSERT_EQ(ace_get_string(h_, 5, &big[0], &blen), ACE_OK);
  EXPECT_EQ(big.substr(0, blen), memo);

  // Values a field cannot hold are refused and leave it as it was.
  const struct { uint32_t rc; } refused[] = {
      {ace_set_string(h_, 2, "abc", 3)}, {ace_set_logical(h_, 1, 1)}, {ace_set_julian(h_, 2, 5)},
      {ace_set_double(h_, 3, 1.0)}, {ace_set_string(h_, 3, "31.12.99", 8)}};
  for (const auto& r : refused) EXPECT_EQ(r.rc, ACE_ERR_DATATYPE);
  EXPECT_EQ(ace_set_double(h_, 2, 123456789.0), ACE_ERR_DATAWIDTH);
  EXPECT_EQ(get(h_, 2), "   12.35");
  EXPECT_EQ(get(h_, 3), "19970113");
  EXPECT_EQ(last_error().number, ACE_ERR_DATAWIDTH);
  EXPECT_NE(last_error().text.find("AMOUNT"), std::string::npos);

  char small[4];
  uint32_t slen = sizeof small;
  EXPECT_EQ(ace_get_string(h_, 1, small, &slen), ACE_ERR_BUFFER_SMALL);
  EXPECT_EQ(slen, 9u) << "the length needed, with its NUL";
  EXPECT_EQ(ace_get_string(h_, 0, small, &slen), ACE_ERR_ARGUMENT);
  EXPECT_EQ(ace_get_string(h_, 6, small, &slen), ACE_ERR_ARGUMENT);
  EXPECT_EQ(ace_go_top(h_ + 1000), ACE_ERR_HANDLE);
}

TEST_F(Api, NavigationPassesOverDeletedRecordsWhenFiltered) {
  for (const char* n : {"r1", "r2", "r3", "r4", "r5"}) append_named(n);
  for (uint32_t r : {1u, 3u, 5u}) {
    ASSERT_EQ(ace_go_to(h_, r), ACE_OK);
    ASSERT_EQ(ace_lock_record(h_, 0), ACE_OK);
    ASSERT_EQ(ace_delete(h_), ACE_OK);
  }
  auto at = [&] {
    uint32_t r = 0;
    uint16_t eof = 0, bof = 0;
    ace_recno(h_, &r);
    ace_at_eof(h_, &eof);
    ace_at_bof(h_, &bof);
    return std::to_string(r) + (eof ? "E" : "") + (bof ? "B" : "");
  };
  ASSERT_EQ(ace_show_deleted(0), ACE_OK);
  std::vector<std::string> path;
  ace_go_top(h_); path.push_back(at());
  ace_skip(h_, 1); path.push_back(at());
  ace_skip(h_, 1); path.push_back(at());
  ace_skip(h_, -1); path.push_back(at());
  ace_go_bottom(h_); path.push_back(at());
  ace_skip(h_, -5); path.push_back(at());
  ace_go_to(h_, 3); path.push_back(at());
  EXPECT_EQ(path, (std::vector<std::string>{"2", "4", "6E", "4", "4", "2B", "3"}));

  ace_show_deleted(1);
  path.clear();
  ace_go_top(h_); path.push_back(at());
  ace_skip(h_, 4); path.push_back(at());
  ace_skip(h_, 1); path.push_back(at());
  ace_skip(h_, -2); path.push_back(at());
  ace_go_to(h_, 99); path.push_back(at());
  EXPECT_EQ(path, (std::vector<std::string>{"1", "5", "6E", "4", "6E"}));
  EXPECT_EQ(get(h_, 1), "        ") << "fields read blank at end of file";

  // Every record deleted and filtered: top is at once at the end.
  for (uint32_t r : {2u, 4u}) {
    ASSERT_EQ(ace_go_to(h_, r), ACE_OK);
    ASSERT_EQ(ace_lock_record(h_, 0), ACE_OK);
    ASSERT_EQ(ace_delete(h_), ACE_OK);
  }
  ace_show_deleted(0);
  ace_go_top(h_);
  EXPECT_EQ(at(), "6EB");
}

TEST_F(Api, LocksAndOpenErrorsBetweenHandles) {
  append_named("one");
  append_named("two");
  ACE_HANDLE other = 0;
  ASSERT_EQ(ace_open_table(path_.c_str(), nullptr, ACE_TABLE_CDX, 0, &other), ACE_OK);
  uint16_t locked = 0;
  ASSERT_EQ(ace_is_locked(h_, 2, &locked), ACE_OK);
  EXPECT_EQ(locked, 1) << "the appended record stays locked";
  ASSERT_EQ(ace_is_locked(h_, 1, &locked), ACE_OK);
  EXPECT_EQ(locked, 0) << "appending released the earlier record's lock";
  EXPECT_EQ(ace_lock_record(other, 2), ACE_ERR_RECORD_LOCK);
  ASSERT_EQ(ace_go_to(other, 1), ACE_OK);
  EXPECT_EQ(ace_set_string(other, 1, "x", 1), ACE_ERR_UNLOCKED);
  ASSERT_EQ(ace_lock_record(other, 0), ACE_OK);
  ASSERT_EQ(ace_set_string(other, 1, "changed", 7), ACE_OK);
  ASSERT_EQ(ace_go_to(h_, 1), ACE_OK);
  EXPECT_EQ(get(h_, 1), "changed ");
  EXPECT_EQ(ace_lock_file(h_), ACE_ERR_FILE_LOCK);
  ASSERT_EQ(ace_unlock_all(other), ACE_OK);
  ASSERT_EQ(ace_lock_file(h_), ACE_OK);
  EXPECT_EQ(ace_append(other), ACE_ERR_APPEND_LOCK);
  EXPECT_EQ(last_error().os, 33);
  ASSERT_EQ(ace_close_table(other), ACE_OK);
  EXPECT_EQ(ace_close_table(other), ACE_ERR_HANDLE);

  ACE_HANDLE excl = 0;
  EXPECT_EQ(ace_open_table(path_.c_str(), nullptr, ACE_TABLE_CDX, ACE_OPEN_EXCLUSIVE, &excl), ACE_ERR_OPEN);
  LastError e = last_error();
  EXPECT_EQ(e.os, 32);
  EXPECT_EQ(e.file, path_);
  const std::string missing = dir_.path("missing");  // ".dbf" is added
  EXPECT_EQ(ace_open_table(missing.c_str(), nullptr, ACE_TABLE_CDX, 0, &excl), ACE_ERR_OPEN);
  e = last_error();
  EXPECT_EQ(e.os, 2);
  EXPECT_EQ(e.file, missing + ".dbf");
  EXPECT_EQ(ace_open_table(path_.c_str(), nullptr, ACE_TABLE_ADT, 0, &excl), ACE_ERR_UNSUPPORTED);
}

TEST(ApiCreate, FieldListsAreChecked) {
  ace_test::TempDir dir;
  const std::string path = dir.path("bad.dbf");
  const char* bad[] = {"", "NAME", "NAME,X,5", "NAME,C", "NAME,C,300", "NA ME,C,5", "A,C,5;a,N,3", "N,N,3,2",
                       "TOOLONGNAME1,C,5"};
  for (const char* list : bad) {
    ACE_HANDLE h = 0;
    EXPECT_EQ(ace_create_table(path.c_str(), nullptr, list, ACE_TABLE_CDX, 0, &h), ACE_ERR_ARGUMENT) << list;
  }
  ACE_HANDLE h = 0;
  EXPECT_EQ(ace_create_table(path.c_str(), nullptr, "COUNT,I", ACE_TABLE_CDX, 0, &h), ACE_ERR_UNSUPPORTED)
      << "integer fields need a Visual FoxPro table";
  ASSERT_EQ(ace_create_table(path.c_str(), nullptr, "COUNT,I;WHEN,T;PRICE,Y;NOTE,M", ACE_TABLE_CDX,
                             ACE_CREATE_VFP | ACE_OPEN_EXCLUSIVE, &h), ACE_OK);
  ASSERT_EQ(ace_append(h), ACE_OK);
  ASSERT_EQ(ace_set_double(h, 1, 42), ACE_OK);
  EXPECT_EQ(get(h, 1), "42");
  ace_exit();
}

}  // namespace
