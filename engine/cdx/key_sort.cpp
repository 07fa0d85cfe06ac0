#include "key_sort.h"

#include <algorithm>
#include <cstring>

namespace ace::cdx {

namespace {

struct Item {
  uint64_t chunk;  // eight key bytes from the current depth, big-endian
  uint32_t index;
};

// Runs this short are finished by comparison rather than another radix round.
constexpr size_t kSmallRun = 48;

class KeySorter {
 public:
  KeySorter(const char* keys, const uint32_t* recnos, size_t key_len)
      : keys_(keys), recnos_(recnos), kl_(key_len) {}

  void sort(Item* a, Item* tmp, size_t n, size_t depth) {
    if (n < 2) return;
    if (n <= kSmallRun) {
      std::sort(a, a + n, [&](const Item& x, const Item& y) { return less(x.index, y.index); });
      return;
    }
    if (depth > 0) {
      for (size_t i = 0; i < n; ++i) {
        if (i + 16 < n) __builtin_prefetch(keys_ + a[i + 16].index * kl_ + depth);
        a[i].chunk = chunk_of(a[i].index, depth);
      }
    }
    radix(a, tmp, n);
    for (size_t i = 0; i < n;) {
      size_t j = i + 1;
      while (j < n && a[j].chunk == a[i].chunk) ++j;
      if (j - i > 1) {
        if (depth + 8 < kl_) {
          sort(a + i, tmp + i, j - i, depth + 8);
        } else if (!std::is_sorted(a + i, a + j, [&](const Item& x, const Item& y) {
                     return recnos_[x.index] < recnos_[y.index];
                   })) {
          // Equal keys: the radix passes kept input order, which may not be record order.
          std::sort(a + i, a + j, [&](const Item& x, const Item& y) {
            return recnos_[x.index] < recnos_[y.index];
          });
        }
      }
      i = j;
    }
  }

  uint64_t chunk_of(uint32_t index, size_t depth) const {
    const char* k = keys_ + index * kl_ + depth;
    size_t n = std::min<size_t>(8, kl_ - depth);
    uint64_t v = 0;
    for (size_t i = 0; i < 8; ++i) v = (v << 8) | (i < n ? static_cast<uint8_t>(k[i]) : 0u);
    return v;
  }

 private:
  bool less(uint32_t x, uint32_t y) const {
    int c = std::memcmp(keys_ + x * kl_, keys_ + y * kl_, kl_);
    return c != 0 ? c < 0 : recnos_[x] < recnos_[y];
  }

  // Stable byte passes from the lowest up; a byte every item shares is skipped.
  static void radix(Item* a, Item* tmp, size_t n) {
    size_t counts[8][256];
    std::memset(counts, 0, sizeof counts);
    for (size_t i = 0; i < n; ++i)
      for (int d = 0; d < 8; ++d) ++counts[d][(a[i].chunk >> (8 * d)) & 0xFF];
    Item* src = a;
    Item* dst = tmp;
    for (int d = 0; d < 8; ++d) {
      size_t* c = counts[d];
      if (c[(src[0].chunk >> (8 * d)) & 0xFF] == n) continue;
      size_t pos = 0;
      for (int v = 0; v < 256; ++v) {
        size_t k = c[v];
        c[v] = pos;
        pos += k;
      }
      for (size_t i = 0; i < n; ++i) dst[c[(src[i].chunk >> (8 * d)) & 0xFF]++] = src[i];
      std::swap(src, dst);
    }
    if (src != a) std::memcpy(a, src, n * sizeof(Item));
  }

  const char* keys_;
  const uint32_t* recnos_;
  size_t kl_;
};

}  // namespace

std::vector<uint32_t> sort_key_order(const char* keys, const uint32_t* recnos, size_t n,
                                     int key_len) {
  KeySorter sorter(keys, recnos, static_cast<size_t>(key_len));
  std::vector<Item> a(n), tmp(n);
  for (size_t i = 0; i < n; ++i) a[i] = {sorter.chunk_of(static_cast<uint32_t>(i), 0), static_cast<uint32_t>(i)};
  sorter.sort(a.data(), tmp.data(), n, 0);
  std::vector<uint32_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = a[i].index;
  return order;
}

}  // namespace ace::cdx
