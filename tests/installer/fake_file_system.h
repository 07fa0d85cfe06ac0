// An in-memory file system for the search rules: the listing comes back in the
// order the test gives, and every call is logged so the order of tests shows.
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/files.h"

namespace testing_support {

struct FakeEntry {
  std::string content;       // what a read gives
  uint64_t size = 0;         // what the size query gives
  bool exists = true;
  bool readable = true;
  bool copy_target_fails = false;
};

class FakeFileSystem : public plat::FileSystem {
 public:
  std::vector<std::string> listing;
  std::map<std::string, FakeEntry> entries;
  std::map<std::string, std::string> copies;  // target -> source
  std::vector<std::string> log;

  // A valid installation at the candidate path; tweak the entries after.
  void add_installation(const std::string& candidate, const std::string& version = "xx2010/1xx",
                        uint64_t exe_size = 6750208) {
    entries[candidate + "\\brevantw.exe"] = FakeEntry{};
    entries[candidate + "\\Brevantw.exe"] = FakeEntry{"", exe_size};
    entries[candidate + "\\emp\\versionp.dbf"] = FakeEntry{version, version.size()};
  }

  std::vector<std::string> directory(const std::string& mask) override {
    log.push_back("list " + mask);
    return listing;
  }
  bool exists(const std::string& path) override {
    log.push_back("exists " + path);
    auto it = entries.find(path);
    return it != entries.end() && it->second.exists;
  }
  std::unique_ptr<plat::ByteSource> open_read(const std::string& path) override {
    log.push_back("read " + path);
    auto it = entries.find(path);
    if (it == entries.end() || !it->second.exists || !it->second.readable) return nullptr;
    return std::make_unique<StringSource>(it->second.content);
  }
  uint64_t size(const std::string& path) override {
    log.push_back("size " + path);
    auto it = entries.find(path);
    return it == entries.end() ? 0 : it->second.size;
  }
  bool copy(const std::string& from, const std::string& to) override {
    log.push_back("copy " + to);
    auto it = entries.find(to);
    if (it != entries.end() && it->second.copy_target_fails) return false;
    copies[to] = from;
    return true;
  }

  class StringSource : public plat::ByteSource {
   public:
    explicit StringSource(std::string s) : s_(std::move(s)) {}
    bool read(char* buf, size_t cap, size_t* got) override {
      *got = std::min(cap, s_.size() - pos_);
      std::memcpy(buf, s_.data() + pos_, *got);
      pos_ += *got;
      return true;
    }

   private:
    std::string s_;
    size_t pos_ = 0;
  };
};

}  // namespace testing_support
