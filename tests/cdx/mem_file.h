// An ace::io::File held in memory, for index tests: no disk, and damage can be
// applied to the bytes directly.
#pragma once

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "io/file.h"

namespace cdxtest {

class MemFile : public ace::io::File {
 public:
  explicit MemFile(std::string path, std::vector<uint8_t> bytes = {})
      : path_(std::move(path)), shared_(std::make_shared<std::vector<uint8_t>>(std::move(bytes))) {}
  // A second handle on the same bytes, as another process would have.
  MemFile(std::string path, std::shared_ptr<std::vector<uint8_t>> shared)
      : path_(std::move(path)), shared_(std::move(shared)) {}

  ace::io::IoStatus read_at(uint64_t offset, void* buf, size_t n, size_t* got) override {
    size_t have = offset >= bytes_.size() ? 0 : std::min<size_t>(n, bytes_.size() - static_cast<size_t>(offset));
    if (have) std::memcpy(buf, bytes_.data() + static_cast<size_t>(offset), have);
    if (got) *got = have;
    if (have < n) return {ace::io::IoStatus::ShortRead, 0};
    return {};
  }
  ace::io::IoStatus write_at(uint64_t offset, const void* buf, size_t n) override {
    if (bytes_.size() < offset + n) bytes_.resize(static_cast<size_t>(offset + n));
    std::memcpy(bytes_.data() + static_cast<size_t>(offset), buf, n);
    return {};
  }
  ace::io::IoStatus size(uint64_t* out) override {
    *out = bytes_.size();
    return {};
  }
  ace::io::IoStatus truncate(uint64_t size) override {
    bytes_.resize(static_cast<size_t>(size));
    return {};
  }
  ace::io::IoStatus flush() override { return {}; }
  ace::io::IoStatus lock(uint64_t, uint64_t) override { return {}; }
  ace::io::IoStatus lock_shared(uint64_t, uint64_t) override { return {}; }
  ace::io::IoStatus unlock(uint64_t, uint64_t) override { return {}; }
  const std::string& path() const override { return path_; }

  std::vector<uint8_t>& bytes() { return *shared_; }
  const std::shared_ptr<std::vector<uint8_t>>& shared() const { return shared_; }

 private:
  std::string path_;
  std::shared_ptr<std::vector<uint8_t>> shared_;
  std::vector<uint8_t>& bytes_ = *shared_;
};

inline std::vector<uint8_t> read_whole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A file that shares its bytes with the test, which keeps a pointer to them.
inline std::unique_ptr<MemFile> mem_file(const std::string& path, std::vector<uint8_t> bytes = {}) {
  return std::make_unique<MemFile>(path, std::move(bytes));
}

}  // namespace cdxtest
