// Running the tool in-process on copies of tables in a scratch folder.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "commands.h"

namespace dbfchecktest {

struct Outcome {
  int code = -1;
  std::string out, err;
};

inline Outcome run_tool(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  Outcome r;
  r.code = dbfcheck::run_dbfcheck(args, out, err);
  r.out = out.str();
  r.err = err.str();
  return r;
}

inline std::string read_file(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void write_file(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// A folder of its own under the system's temporary folder, removed at the end.
// Named after the running test, so tests run side by side do not meet.
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& name) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string unique = "dbfcheck_test_" + name;
    if (test) unique += std::string("_") + test->test_suite_name() + "_" + test->name();
    for (char& c : unique)
      if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    dir_ = std::filesystem::temp_directory_path() / unique;
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  // Copies fixture files into the folder, writable.
  void copy_fixture(const std::string& name) {
    const auto to = dir_ / name;
    std::filesystem::copy_file(std::filesystem::path(FIXTURE_DIR) / name, to,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::permissions(to, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

 private:
  std::filesystem::path dir_;
};

}  // namespace dbfchecktest
