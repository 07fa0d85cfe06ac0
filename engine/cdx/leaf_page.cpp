#include "leaf_page.h"

#include <cstring>

#include "byte_order.h"

namespace ace::cdx {

namespace {

int bits_for(uint64_t v) {
  int bits = 0;
  while (v != 0) {
    ++bits;
    v >>= 1;
  }
  return bits;
}

uint64_t low_mask(int bits) { return bits >= 64 ? ~0ull : ((1ull << bits) - 1); }

}  // namespace

int leaf_count_bits(int key_len) { return bits_for(static_cast<uint64_t>(key_len)); }

int leaf_entry_bytes(int key_len, uint32_t max_recno) {
  int rec_bits = bits_for(max_recno);
  if (rec_bits == 0) rec_bits = 1;
  int total = rec_bits + 2 * leaf_count_bits(key_len);
  return (total + 7) / 8;
}

int leaf_trailing(const char* key, int key_len, char filler) {
  int t = 0;
  while (t < key_len && key[key_len - 1 - t] == filler) ++t;
  return t;
}

int leaf_shared(const char* prev, const char* key, int key_len, int trailing) {
  int limit = key_len - trailing;
  int d = 0;
  while (d < limit && prev[d] == key[d]) ++d;
  return d;
}

size_t leaf_bytes_needed(int key_len, char filler, const char* const* keys,
                         const uint32_t* recnos, size_t n) {
  uint32_t max_rec = 0;
  size_t stored = 0;
  for (size_t i = 0; i < n; ++i) {
    if (recnos[i] > max_rec) max_rec = recnos[i];
    int t = leaf_trailing(keys[i], key_len, filler);
    int d = i == 0 ? 0 : leaf_shared(keys[i - 1], keys[i], key_len, t);
    stored += static_cast<size_t>(key_len - t - d);
  }
  return n * static_cast<size_t>(leaf_entry_bytes(key_len, max_rec)) + stored;
}

bool encode_leaf(uint16_t attr, uint32_t left, uint32_t right, int key_len, char filler,
                 const char* const* keys, const uint32_t* recnos, size_t n, uint8_t* page) {
  uint32_t max_rec = 0;
  for (size_t i = 0; i < n; ++i)
    if (recnos[i] > max_rec) max_rec = recnos[i];
  const int count_bits = leaf_count_bits(key_len);
  const int entry_bytes = leaf_entry_bytes(key_len, max_rec);
  const int rec_bits = entry_bytes * 8 - 2 * count_bits;
  if (n > 0xFFFF || n * static_cast<size_t>(entry_bytes) > kLeafAreaSize) return false;

  std::memset(page, 0, kPageSize);
  uint8_t* area = page + kLeafAreaOffset;
  size_t entry_end = n * static_cast<size_t>(entry_bytes);
  size_t key_start = kLeafAreaSize;  // stored key bytes grow down from here
  for (size_t i = 0; i < n; ++i) {
    int t = leaf_trailing(keys[i], key_len, filler);
    int d = i == 0 ? 0 : leaf_shared(keys[i - 1], keys[i], key_len, t);
    size_t fresh = static_cast<size_t>(key_len - t - d);
    if (key_start < entry_end + fresh) return false;
    key_start -= fresh;
    std::memcpy(area + key_start, keys[i] + d, fresh);
    uint64_t v = static_cast<uint64_t>(recnos[i]) | (static_cast<uint64_t>(d) << rec_bits) |
                 (static_cast<uint64_t>(t) << (rec_bits + count_bits));
    for (int b = 0; b < entry_bytes; ++b)
      area[i * static_cast<size_t>(entry_bytes) + static_cast<size_t>(b)] =
          static_cast<uint8_t>(v >> (8 * b));
  }
  put_le16(page + 0, attr);
  put_le16(page + 2, static_cast<uint16_t>(n));
  put_le32(page + 4, left);
  put_le32(page + 8, right);
  put_le16(page + 12, static_cast<uint16_t>(key_start - entry_end));
  put_le32(page + 14, static_cast<uint32_t>(low_mask(rec_bits)));
  page[18] = static_cast<uint8_t>(low_mask(count_bits));
  page[19] = static_cast<uint8_t>(low_mask(count_bits));
  page[20] = static_cast<uint8_t>(rec_bits);
  page[21] = static_cast<uint8_t>(count_bits);
  page[22] = static_cast<uint8_t>(count_bits);
  page[23] = static_cast<uint8_t>(entry_bytes);
  return true;
}

bool decode_leaf(const uint8_t* page, uint32_t offset, int key_len, char filler, Node* out,
                 std::string* why) {
  out->offset = offset;
  out->attr = get_le16(page);
  out->left = get_le32(page + 4);
  out->right = get_le32(page + 8);
  out->key_len = key_len;
  out->children.clear();
  const size_t n = get_le16(page + 2);
  const int rec_bits = page[20], dup_bits = page[21], trail_bits = page[22];
  const int entry_bytes = page[23];
  if (entry_bytes < 1 || entry_bytes > 8 || rec_bits + dup_bits + trail_bits > entry_bytes * 8 ||
      rec_bits > 32 || dup_bits > 16 || trail_bits > 16) {
    *why = "bit counts that do not fit the entry size";
    return false;
  }
  if (n * static_cast<size_t>(entry_bytes) > kLeafAreaSize) {
    *why = "key count beyond the page";
    return false;
  }
  out->keys.assign(n * static_cast<size_t>(key_len), '\0');
  out->recnos.resize(n);
  const uint8_t* area = page + kLeafAreaOffset;
  const size_t entry_end = n * static_cast<size_t>(entry_bytes);
  size_t key_start = kLeafAreaSize;
  for (size_t i = 0; i < n; ++i) {
    uint64_t v = 0;
    for (int b = entry_bytes - 1; b >= 0; --b)
      v = (v << 8) | area[i * static_cast<size_t>(entry_bytes) + static_cast<size_t>(b)];
    uint32_t recno = static_cast<uint32_t>(v & low_mask(rec_bits));
    int d = static_cast<int>((v >> rec_bits) & low_mask(dup_bits));
    int t = static_cast<int>((v >> (rec_bits + dup_bits)) & low_mask(trail_bits));
    if (d + t > key_len || (i == 0 && d != 0)) {
      *why = "entry counts longer than the key";
      return false;
    }
    size_t fresh = static_cast<size_t>(key_len - d - t);
    if (key_start < entry_end + fresh) {
      *why = "key bytes overlapping the entries";
      return false;
    }
    key_start -= fresh;
    char* key = &out->keys[i * static_cast<size_t>(key_len)];
    if (d > 0) std::memcpy(key, key - key_len, static_cast<size_t>(d));
    std::memcpy(key + d, area + key_start, fresh);
    std::memset(key + d + fresh, filler, static_cast<size_t>(t));
    out->recnos[i] = recno;
  }
  out->stated_free = get_le16(page + 12);
  out->counted_free = static_cast<uint16_t>(key_start - entry_end);
  return true;
}

}  // namespace ace::cdx
