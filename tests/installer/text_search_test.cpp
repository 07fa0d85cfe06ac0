#include "platform/text_search.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "fake_file_system.h"
#include "platform/files.h"

namespace {

using Source = testing_support::FakeFileSystem::StringSource;

// MEMOREAD's content for a given file content, through the same fake.
std::string memoread(const std::string& content) {
  testing_support::FakeFileSystem fs;
  fs.entries["f"] = {content, content.size()};
  return plat::MEMOREAD(fs, "f");
}

TEST(TextSearch, AtAndAscan) {
  EXPECT_EQ(plat::AT("2010/1", "ab2010/1"), 3u);
  EXPECT_EQ(plat::AT("2010/1", ""), 0u);
  EXPECT_EQ(plat::AT("", "abc"), 0u);
  EXPECT_EQ(plat::AT("2010/1", std::string("\0" "2010/1", 7)), 2u);
  const std::vector<std::string> list = {"C:\\Halvoren\\Acc2", "C:\\Halvoren\\Acc"};
  EXPECT_EQ(plat::ASCAN(list, "C:\\Halvoren\\Acc"), 2u);
  EXPECT_EQ(plat::ASCAN(list, "C:\\Halvoren\\acc"), 0u);
  EXPECT_EQ(plat::ASCAN(list, "C:\\Halvoren\\Ac"), 0u);
  EXPECT_EQ(plat::ASCAN({}, ""), 0u);
}

TEST(TextSearch, MemoreadLeavesOffOneFinalEndOfFileMark) {
  EXPECT_EQ(memoread("ab\x1A"), "ab");
  EXPECT_EQ(memoread("ab\x1A\x1A"), "ab\x1A");
  EXPECT_EQ(memoread("a\x1A" "b"), "a\x1A" "b");
  EXPECT_EQ(memoread("\x1A"), "");
  EXPECT_EQ(memoread(""), "");
}

// The streamed search equals AT over the whole content for every buffer size,
// wherever the marker falls, including across two reads.
TEST(TextSearch, StreamedSearchEqualsWholeReadForEveryBufferSize) {
  std::mt19937 rng(7);
  const std::string needles[] = {"2010/1", "ab\x1A", "\x1A"};
  for (const std::string& needle : needles) {
    for (int trial = 0; trial < 200; ++trial) {
      std::string content(rng() % 40, 'x');
      for (char& c : content) c = "ab\x1A" "2010/x"[rng() % 9];
      if (rng() % 2 && !content.empty()) content.insert(rng() % content.size(), needle);
      const uint64_t expected = plat::AT(needle, memoread(content));
      for (size_t buffer = 1; buffer <= content.size() + 1; ++buffer) {
        Source src(content);
        ASSERT_EQ(plat::stream_at(needle, src, buffer), expected)
            << "needle " << needle.size() << " buffer " << buffer << " content " << content;
      }
    }
  }
}

// A source of any length made up on the fly: the search holds one buffer, never the file.
class GeneratedSource : public plat::ByteSource {
 public:
  GeneratedSource(uint64_t length, uint64_t marker_at) : length_(length), marker_at_(marker_at) {}
  bool read(char* buf, size_t cap, size_t* got) override {
    const uint64_t left = length_ - pos_;
    *got = static_cast<size_t>(std::min<uint64_t>(cap, left));
    std::memset(buf, '2', *got);
    for (uint64_t p = std::max(pos_, marker_at_); p < std::min(pos_ + *got, marker_at_ + 6); ++p)
      buf[p - pos_] = "2010/1"[p - marker_at_];
    pos_ += *got;
    max_read_ = std::max(max_read_, *got);
    return true;
  }
  size_t max_read_ = 0;

 private:
  uint64_t length_, marker_at_, pos_ = 0;
};

TEST(TextSearch, LongStreamIsSearchedWithOneBoundedBuffer) {
  const uint64_t length = 16ull << 20;
  const size_t buffer = 1 << 16;
  const uint64_t straddling = length - 3 * buffer - 3;  // marker cut in half by a read
  GeneratedSource src(length, straddling);
  EXPECT_EQ(plat::stream_at("2010/1", src, buffer), straddling + 1);
  EXPECT_LE(src.max_read_, buffer);

  GeneratedSource absent(length, length);  // marker never written
  EXPECT_EQ(plat::stream_at("2010/1", absent, buffer), 0u);
}

}  // namespace
