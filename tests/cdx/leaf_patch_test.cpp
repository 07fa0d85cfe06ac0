// Entries added to or taken from a packed leaf in place give the very page that
// packing all its entries afresh gives (or, after a removal, the same entries in
// the page's wider entry size), or the patch declines and leaves the page alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "cdx/leaf_page.h"

namespace {

using ace::cdx::Node;

bool pack(const Node& n, char filler, uint8_t* page) {
  std::vector<const char*> keys(n.count());
  for (size_t i = 0; i < n.count(); ++i) keys[i] = n.key(i);
  return ace::cdx::encode_leaf(n.attr, n.left, n.right, n.key_len, filler, keys.data(), n.recnos.data(),
                               n.count(), page);
}

struct Shape {
  const char* what;
  int key_len;
  char filler;
  int alphabet;      // distinct bytes in a key; few make long shared prefixes
  uint32_t max_recno;
};

const Shape kShapes[] = {
    {"character keys with blanks", 20, ' ', 4, 5000},
    {"binary keys with zero tails", 8, '\0', 3, 70000},
    {"one-byte keys", 1, ' ', 200, 300},
    {"long keys", 120, ' ', 2, 100},
};

// `node` with one random entry of the shape added in key order; *at is where.
Node with_random_entry(const Node& node, const Shape& sh, std::mt19937& rng, size_t* at) {
  std::string key(static_cast<size_t>(sh.key_len), sh.filler);
  const size_t used = rng() % (key.size() + 1);
  for (size_t i = 0; i < used; ++i) key[i] = static_cast<char>('A' + rng() % sh.alphabet);
  const uint32_t recno = 1 + static_cast<uint32_t>(rng() % sh.max_recno);
  *at = 0;
  while (*at < node.count() && std::memcmp(node.key(*at), key.data(), key.size()) < 0) ++*at;
  Node after = node;
  after.keys.insert(*at * key.size(), key);
  after.recnos.insert(after.recnos.begin() + static_cast<long>(*at), recno);
  return after;
}

TEST(LeafPatch, EqualsPackingAfresh) {
  for (const Shape& sh : kShapes) {
    SCOPED_TRACE(sh.what);
    std::mt19937 rng(7);
    size_t patched = 0, declined = 0;
    for (int round = 0; round < 40; ++round) {
      Node node;
      node.attr = 0x02;
      node.key_len = sh.key_len;
      uint8_t page[512];
      ASSERT_TRUE(pack(node, sh.filler, page));
      for (;;) {
        size_t at = 0;
        Node after = with_random_entry(node, sh, rng, &at);

        uint8_t fresh[512], patched_page[512];
        std::memcpy(patched_page, page, sizeof page);
        const bool fits = pack(after, sh.filler, fresh);
        if (ace::cdx::patch_leaf_insert(patched_page, after, at, sh.filler)) {
          ASSERT_TRUE(fits);
          ASSERT_EQ(0, std::memcmp(fresh, patched_page, sizeof fresh)) << "entry " << at << " of " << after.count();
          ++patched;
        } else {
          ASSERT_EQ(0, std::memcmp(page, patched_page, sizeof page)) << "a declined patch changed the page";
          ++declined;
        }
        if (!fits) break;
        node = std::move(after);
        std::memcpy(page, fresh, sizeof page);
      }
    }
    // Both ways were taken: full pages and wider record numbers decline.
    EXPECT_GT(patched, 0u);
    EXPECT_GT(declined, 0u);
  }
}

// Entries taken out one by one, at random places, down to one entry.
TEST(LeafPatch, RemovalsKeepEveryOtherEntry) {
  for (const Shape& sh : kShapes) {
    SCOPED_TRACE(sh.what);
    std::mt19937 rng(11);
    size_t same_bytes = 0;
    for (int round = 0; round < 40; ++round) {
      // A full page of sorted random entries.
      Node node;
      node.attr = 0x02;
      node.key_len = sh.key_len;
      for (;;) {
        size_t at = 0;
        Node more = with_random_entry(node, sh, rng, &at);
        uint8_t probe[512];
        if (!pack(more, sh.filler, probe)) break;
        node = std::move(more);
      }
      uint8_t page[512];
      ASSERT_TRUE(pack(node, sh.filler, page));
      while (node.count() > 1) {
        const size_t at = rng() % node.count();
        Node after = node;
        after.keys.erase(at * static_cast<size_t>(sh.key_len), static_cast<size_t>(sh.key_len));
        after.recnos.erase(after.recnos.begin() + static_cast<long>(at));
        uint8_t patched[512];
        std::memcpy(patched, page, sizeof page);
        ASSERT_TRUE(ace::cdx::patch_leaf_remove(patched, after, at, sh.filler)) << "entry " << at;
        uint8_t fresh[512];
        ASSERT_TRUE(pack(after, sh.filler, fresh));
        if (fresh[23] == patched[23]) {
          ASSERT_EQ(0, std::memcmp(fresh, patched, sizeof fresh)) << "entry " << at << " of " << node.count();
          ++same_bytes;
        }
        Node read;
        std::string why;
        ASSERT_TRUE(ace::cdx::decode_leaf(patched, 0, sh.key_len, sh.filler, &read, &why)) << why;
        ASSERT_EQ(read.keys, after.keys);
        ASSERT_EQ(read.recnos, after.recnos);
        node = std::move(after);
        std::memcpy(page, patched, sizeof page);
      }
    }
    EXPECT_GT(same_bytes, 0u);
  }
}

}  // namespace
