// A fresh folder per test, removed afterwards, and small file helpers.
#pragma once

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "io/file.h"

#ifdef _WIN32
#include <direct.h>
#define ACE_TEST_MKDIR(p) _mkdir(p)
#else
#include <sys/stat.h>
#define ACE_TEST_MKDIR(p) mkdir(p, 0777)
#endif

namespace ace_test {

inline std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string fixture(const std::string& name) { return std::string(FIXTURE_DIR) + "/" + name; }

// Files created inside are removed by name when the test ends.
class TempDir {
 public:
  TempDir() {
    const ::testing::TestInfo* t = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::string("engine_test_") + t->test_suite_name() + "_" + t->name();
    for (auto& c : dir_)
      if (c == '/') c = '_';
    ACE_TEST_MKDIR(dir_.c_str());
  }
  ~TempDir() {
    for (const auto& f : files_) std::remove(f.c_str());
    std::remove(dir_.c_str());
#ifdef _WIN32
    _rmdir(dir_.c_str());
#else
    rmdir(dir_.c_str());
#endif
  }
  // A path in the folder; the file, and its memo and index companions, go at the end.
  std::string path(const std::string& name) {
    std::string p = dir_ + "/" + name;
    files_.push_back(p);
    std::string base = p.substr(0, p.rfind('.'));
    for (const char* ext : {".fpt", ".FPT", ".dbt", ".cdx"}) files_.push_back(base + ext);
    return p;
  }

 private:
  std::string dir_;
  std::vector<std::string> files_;
};

}  // namespace ace_test
