// One B-tree node of a tag, decoded: full-length keys, their record numbers and,
// for interior nodes, the child page of each entry. Entries are ordered by key
// bytes, then by record number; an interior entry holds the last key of its child.
//
// Node header, common to interior and leaf pages (512 bytes each):
//
// | Offset | Size | Meaning                                                  |
// |--------|------|----------------------------------------------------------|
// | 0      | 2    | attribute: bit 0 root, bit 1 leaf (bit 2 seen, ignored)  |
// | 2      | 2    | key count                                                |
// | 4      | 4    | left sibling page offset, 0xFFFFFFFF none                |
// | 8      | 4    | right sibling page offset, 0xFFFFFFFF none               |
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace ace::cdx {

// A word loaded from memory, put in big-endian order so that comparing words
// compares the bytes as memcmp would.
inline uint64_t to_big_endian(uint64_t v) {
  const uint16_t probe = 1;
  uint8_t first;
  std::memcpy(&first, &probe, 1);
  return first ? __builtin_bswap64(v) : v;
}

constexpr size_t kPageSize = 512;
constexpr uint32_t kNoPage = 0xFFFFFFFFu;
constexpr uint16_t kAttrRoot = 0x01;
constexpr uint16_t kAttrLeaf = 0x02;
constexpr int kMaxKeyLength = 240;

struct Node {
  uint32_t offset = 0;
  uint16_t attr = 0;
  uint32_t left = kNoPage;
  uint32_t right = kNoPage;
  int key_len = 0;
  std::string keys;  // count() * key_len bytes
  std::vector<uint32_t> recnos;
  std::vector<uint32_t> children;  // interior only
  // Leaves: the free-space count the page states, and the one its entries leave.
  uint16_t stated_free = 0;
  uint16_t counted_free = 0;

  bool leaf() const { return (attr & kAttrLeaf) != 0; }
  bool root() const { return (attr & kAttrRoot) != 0; }
  size_t count() const { return recnos.size(); }
  const char* key(size_t i) const { return keys.data() + i * static_cast<size_t>(key_len); }
};

// Orders (key, recno) pairs the way entries are kept. Searches call it for every
// step, so keys are compared eight bytes at a time, as big-endian words.
inline int compare_entry(const char* a, uint32_t ra, const char* b, uint32_t rb, int key_len) {
  const size_t n = static_cast<size_t>(key_len);
  size_t i = 0;
  for (; i + 8 <= n; i += 8) {
    uint64_t x, y;
    std::memcpy(&x, a + i, 8);
    std::memcpy(&y, b + i, 8);
    if (x != y) {
      x = to_big_endian(x);
      y = to_big_endian(y);
      return x < y ? -1 : 1;
    }
  }
  for (; i < n; ++i)
    if (a[i] != b[i]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]) ? -1 : 1;
  return ra < rb ? -1 : (ra > rb ? 1 : 0);
}

}  // namespace ace::cdx
