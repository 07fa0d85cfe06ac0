// The file operations natively, where a drive letter is a folder and dot-files
// count as hidden.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "platform/files.h"

namespace {

class PosixFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/files.XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    plat::set_drive_root('q', root_);
    mkdir((root_ + "/Halvoren").c_str(), 0755);
    mkdir((root_ + "/Halvoren/Dir").c_str(), 0755);
    write("Halvoren/brevantw.exe", "12345");
    write("Halvoren/.hidden", "secret");
    write("Halvoren/table.dbf", std::string("data\x1A", 5));
  }
  void TearDown() override {
    plat::set_drive_root('Q', "");
    std::system(("chmod -R u+w '" + root_ + "'; rm -rf '" + root_ + "'").c_str());
  }
  void write(const std::string& rel, const std::string& content) {
    std::ofstream(root_ + "/" + rel, std::ios::binary) << content;
  }
  std::string root_;
};

TEST_F(PosixFiles, ListingLeavesHiddenOutAndKeepsDots) {
  auto names = plat::DIRECTORY("Q:\\Halvoren\\*.*");
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "Dir", "brevantw.exe", "table.dbf"}));
  EXPECT_EQ(plat::DIRECTORY("Q:\\Halvoren\\*.exe"), std::vector<std::string>{"brevantw.exe"});
  EXPECT_TRUE(plat::DIRECTORY("Q:\\Nada\\*.*").empty());
  EXPECT_TRUE(plat::DIRECTORY("R:\\Halvoren\\*.*").empty());  // a letter with no drive
}

TEST_F(PosixFiles, ExistenceSizeAndRead) {
  EXPECT_TRUE(plat::FILE("Q:\\Halvoren\\Dir"));
  EXPECT_TRUE(plat::FILE("Q:\\Halvoren\\.hidden"));
  EXPECT_TRUE(plat::FILE("Q:\\Halvoren\\*.exe"));
  EXPECT_TRUE(plat::FILE("Q:\\HALVOREN\\BREVANTW.EXE"));
  EXPECT_FALSE(plat::FILE("Q:\\Halvoren\\*.chm"));
  EXPECT_FALSE(plat::FILE("Q:\\Halvoren\\"));

  EXPECT_EQ(plat::FSIZE("Q:\\Halvoren\\Brevantw.exe"), 5u);
  EXPECT_EQ(plat::FSIZE("Q:\\Halvoren\\.\\brevantw.exe"), 5u);
  EXPECT_EQ(plat::FSIZE("Q:\\Halvoren\\Dir"), 0u);
  EXPECT_EQ(plat::FSIZE("Q:\\Halvoren\\.hidden"), 0u);
  EXPECT_EQ(plat::FSIZE("Q:\\Halvoren\\missing"), 0u);

  EXPECT_EQ(plat::MEMOREAD("Q:\\Halvoren\\table.dbf"), "data");
  EXPECT_EQ(plat::MEMOREAD("Q:\\Halvoren\\Dir"), "");
  EXPECT_EQ(plat::MEMOREAD("Q:\\Halvoren\\missing"), "");
}

TEST_F(PosixFiles, CopyReplacesAndReportsFailure) {
  write("Halvoren/Dir/brevantpro.chm", "old");
  EXPECT_TRUE(plat::COPYFILE("Q:\\Halvoren\\brevantw.exe", "Q:\\Halvoren\\Dir\\brevantpro.chm"));
  EXPECT_EQ(plat::MEMOREAD("Q:\\Halvoren\\Dir\\brevantpro.chm"), "12345");
  EXPECT_FALSE(plat::COPYFILE("Q:\\Halvoren\\missing.chm", "Q:\\Halvoren\\Dir\\x.chm"));
  EXPECT_FALSE(plat::FILE("Q:\\Halvoren\\Dir\\x.chm"));
  EXPECT_FALSE(plat::COPYFILE("Q:\\Halvoren\\brevantw.exe", "Q:\\Nada\\brevantpro.chm"));
  // Onto itself: refused, and the file keeps its content.
  EXPECT_FALSE(plat::COPYFILE("Q:\\Halvoren\\brevantw.exe", "Q:\\Halvoren\\brevantw.exe"));
  EXPECT_EQ(plat::FSIZE("Q:\\Halvoren\\brevantw.exe"), 5u);
}

}  // namespace
