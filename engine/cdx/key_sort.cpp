#include "key_sort.h"

#include <algorithm>
#include <cstring>

namespace ace::cdx {

namespace {

struct Item {
  uint64_t prefix;
  uint32_t index;
};

uint64_t prefix_of(const char* key, int key_len) {
  uint64_t v = 0;
  int n = key_len < 8 ? key_len : 8;
  for (int i = 0; i < 8; ++i)
    v = (v << 8) | (i < n ? static_cast<uint8_t>(key[i]) : 0u);
  return v;
}

}  // namespace

std::vector<uint32_t> sort_key_order(const char* keys, const uint32_t* recnos, size_t n,
                                     int key_len) {
  const size_t kl = static_cast<size_t>(key_len);
  std::vector<Item> a(n), b(n);
  static thread_local size_t counts[8][256];
  std::memset(counts, 0, sizeof counts);
  for (size_t i = 0; i < n; ++i) {
    uint64_t p = prefix_of(keys + i * kl, key_len);
    a[i] = {p, static_cast<uint32_t>(i)};
    for (int d = 0; d < 8; ++d) ++counts[d][(p >> (8 * d)) & 0xFF];
  }
  // Stable passes from the lowest byte up; a byte every key shares is skipped.
  for (int d = 0; d < 8; ++d) {
    size_t* c = counts[d];
    if (n == 0 || c[(a[0].prefix >> (8 * d)) & 0xFF] == n) continue;
    size_t pos = 0;
    for (int v = 0; v < 256; ++v) {
      size_t k = c[v];
      c[v] = pos;
      pos += k;
    }
    for (const Item& it : a) b[c[(it.prefix >> (8 * d)) & 0xFF]++] = it;
    a.swap(b);
  }
  std::vector<uint32_t> order(n);
  for (size_t i = 0; i < n; ++i) order[i] = a[i].index;
  // Finish runs of equal prefixes: longer keys by their remaining bytes, and any
  // key by record number when the input was not in record order.
  auto less = [&](uint32_t x, uint32_t y) {
    int c = std::memcmp(keys + x * kl, keys + y * kl, kl);
    return c != 0 ? c < 0 : recnos[x] < recnos[y];
  };
  for (size_t i = 0; i < n;) {
    size_t j = i + 1;
    while (j < n && a[j].prefix == a[i].prefix) ++j;
    if (j - i > 1) {
      bool sorted = true;
      for (size_t k = i + 1; k < j && sorted; ++k) sorted = !less(order[k], order[k - 1]);
      if (!sorted) std::sort(order.begin() + static_cast<std::ptrdiff_t>(i),
                             order.begin() + static_cast<std::ptrdiff_t>(j), less);
    }
    i = j;
  }
  return order;
}

}  // namespace ace::cdx
