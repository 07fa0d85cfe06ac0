// The file operations on a real folder tree of this program's own drive.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "platform/files.h"
#include "win32_tree.h"

namespace {

using namespace win32_tree;

class Win32Files : public ::testing::Test {
 protected:
  void SetUp() override {
    drive_ = test_drive();
    ASSERT_FALSE(drive_.empty()) << "run through run_on_drive.sh";
    dir_ = drive_ + "\\Files";
    remove_tree(dir_);
    make_dir(dir_);
  }
  void TearDown() override { remove_tree(dir_); }
  std::string drive_, dir_;
};

TEST_F(Win32Files, ListingLeavesHiddenAndSystemOutAndKeepsDots) {
  make_dir(dir_ + "\\Visible");
  make_dir(dir_ + "\\HiddenDir");
  write_file(dir_ + "\\hidden.txt", "h");
  write_file(dir_ + "\\system.txt", "s");
  write_file(dir_ + "\\plain.txt", "p");
  set_attributes(dir_ + "\\HiddenDir", FILE_ATTRIBUTE_HIDDEN);
  set_attributes(dir_ + "\\hidden.txt", FILE_ATTRIBUTE_HIDDEN);
  set_attributes(dir_ + "\\system.txt", FILE_ATTRIBUTE_SYSTEM);
  auto names = plat::DIRECTORY(dir_ + "\\*.*");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "Visible", "plain.txt"}));
  EXPECT_TRUE(plat::DIRECTORY(dir_ + "\\Nada\\*.*").empty());
  EXPECT_TRUE(plat::DIRECTORY(unused_drive() + "\\Halvoren\\*.*").empty());
}

TEST_F(Win32Files, ExistenceCountsHiddenSystemFoldersAndWildcards) {
  make_dir(dir_ + "\\brevantw.exe");
  write_file(dir_ + "\\hidden.txt", "h");
  write_file(dir_ + "\\system.txt", "s");
  set_attributes(dir_ + "\\hidden.txt", FILE_ATTRIBUTE_HIDDEN);
  set_attributes(dir_ + "\\system.txt", FILE_ATTRIBUTE_SYSTEM);
  EXPECT_TRUE(plat::FILE(dir_ + "\\brevantw.exe"));
  EXPECT_TRUE(plat::FILE(dir_ + "\\hidden.txt"));
  EXPECT_TRUE(plat::FILE(dir_ + "\\system.txt"));
  EXPECT_TRUE(plat::FILE(dir_ + "\\sys*.t?t"));
  EXPECT_FALSE(plat::FILE(dir_ + "\\*.chm"));
  EXPECT_FALSE(plat::FILE(dir_ + "\\missing.txt"));
  EXPECT_FALSE(plat::FILE(unused_drive() + "\\x"));
}

TEST_F(Win32Files, SizeOnlyOfPlainFiles) {
  make_dir(dir_ + "\\folder");
  make_sized(dir_ + "\\big.exe", 6750208);
  make_sized(dir_ + "\\hidden.exe", 10);
  make_sized(dir_ + "\\system.exe", 10);
  make_sized(dir_ + "\\readonly.exe", 10);
  set_attributes(dir_ + "\\hidden.exe", FILE_ATTRIBUTE_HIDDEN);
  set_attributes(dir_ + "\\system.exe", FILE_ATTRIBUTE_SYSTEM);
  set_attributes(dir_ + "\\readonly.exe", FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(plat::FSIZE(dir_ + "\\BIG.exe"), 6750208u);
  EXPECT_EQ(plat::FSIZE(dir_ + "\\readonly.exe"), 10u);
  for (const char* zero : {"folder", "hidden.exe", "system.exe", "missing.exe"})
    EXPECT_EQ(plat::FSIZE(dir_ + "\\" + zero), 0u) << zero;
}

TEST_F(Win32Files, WholeReadIsSharedAndLeavesOffTheEndMark) {
  write_file(dir_ + "\\t.dbf", std::string("ab\0" "2010/1\x1A", 10));
  write_file(dir_ + "\\empty.dbf", "");
  make_dir(dir_ + "\\folder.dbf");
  EXPECT_EQ(plat::MEMOREAD(dir_ + "\\t.dbf"), std::string("ab\0" "2010/1", 9));
  EXPECT_EQ(plat::MEMOREAD(dir_ + "\\empty.dbf"), "");
  EXPECT_EQ(plat::MEMOREAD(dir_ + "\\folder.dbf"), "");
  EXPECT_EQ(plat::MEMOREAD(dir_ + "\\missing.dbf"), "");

  // Held open for writing by someone who lets others read and write: readable.
  HANDLE writer = CreateFileA((dir_ + "\\t.dbf").c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(plat::MEMOREAD(dir_ + "\\t.dbf").size(), 9u);
  CloseHandle(writer);

  // Held open with no sharing: reads as empty.
  HANDLE locker = CreateFileA((dir_ + "\\t.dbf").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locker, INVALID_HANDLE_VALUE);
  EXPECT_EQ(plat::MEMOREAD(dir_ + "\\t.dbf"), "");
  CloseHandle(locker);
}

TEST_F(Win32Files, CopyReplacesAndReportsFailure) {
  write_file(dir_ + "\\help.chm", "new help");
  write_file(dir_ + "\\old.chm", "old");
  EXPECT_TRUE(plat::COPYFILE(dir_ + "\\help.chm", dir_ + "\\old.chm"));
  EXPECT_EQ(read_file(dir_ + "\\old.chm"), "new help");

  EXPECT_FALSE(plat::COPYFILE(dir_ + "\\missing.chm", dir_ + "\\x.chm"));
  EXPECT_FALSE(exists(dir_ + "\\x.chm"));
  EXPECT_FALSE(plat::COPYFILE(dir_ + "\\help.chm", dir_ + "\\Nada\\x.chm"));

  // A target held open with no sharing (the read-only attribute does not stop root
  // under Wine, so the lock stands for every refused target).
  write_file(dir_ + "\\held.chm", "kept");
  HANDLE holder = CreateFileA((dir_ + "\\held.chm").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(plat::COPYFILE(dir_ + "\\help.chm", dir_ + "\\held.chm"));
  CloseHandle(holder);
  EXPECT_EQ(read_file(dir_ + "\\held.chm"), "kept");
  make_dir(dir_ + "\\folder.chm");
  EXPECT_FALSE(plat::COPYFILE(dir_ + "\\help.chm", dir_ + "\\folder.chm"));
}

}  // namespace
