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

namespace {

// A packed leaf's entries, read and written in place.
struct LeafEntries {
  uint8_t* area;
  int key_len, rec_bits, dup_bits, trail_bits;
  size_t eb;  // bytes per entry

  uint64_t get(size_t i) const {
    const uint8_t* p = area + i * eb;
    uint64_t v = 0;
    if (i * eb + 8 <= kLeafAreaSize) {
      // Eight bytes at once where the area has them (one load on little-endian
      // machines), cut to the entry's size.
      for (size_t k = 8; k-- > 0;) v = (v << 8) | p[k];
      return eb == 8 ? v : v & ((1ull << (8 * eb)) - 1);
    }
    for (size_t k = eb; k-- > 0;) v = (v << 8) | p[k];
    return v;
  }
  void put(size_t i, uint32_t recno, int dup, int trail) {
    uint64_t v = static_cast<uint64_t>(recno) | (static_cast<uint64_t>(dup) << rec_bits) |
                 (static_cast<uint64_t>(trail) << (rec_bits + dup_bits));
    for (size_t b = 0; b < eb; ++b) area[i * eb + b] = static_cast<uint8_t>(v >> (8 * b));
  }
  uint32_t recno(uint64_t v) const { return static_cast<uint32_t>(v & low_mask(rec_bits)); }
  int trail(uint64_t v) const { return static_cast<int>((v >> (rec_bits + dup_bits)) & low_mask(trail_bits)); }
  int stored(uint64_t v) const {
    return key_len - static_cast<int>((v >> rec_bits) & low_mask(dup_bits)) - trail(v);
  }
};

// The page's layout when it is one the patches can work on: sane bit counts,
// room for any count of the key length, and stated free space equal to what its
// n entries leave. *before gets the key bytes of the entries before `index`,
// *total those of all.
bool leaf_entries(uint8_t* page, int key_len, size_t n, size_t index, LeafEntries* e, size_t* before,
                  size_t* total) {
  const int rec_bits = page[20], dup_bits = page[21], trail_bits = page[22], entry_bytes = page[23];
  if (entry_bytes < 1 || entry_bytes > 8 || rec_bits + dup_bits + trail_bits > entry_bytes * 8 ||
      rec_bits > 32 || low_mask(dup_bits) < static_cast<uint64_t>(key_len) ||
      low_mask(trail_bits) < static_cast<uint64_t>(key_len))
    return false;
  *e = {page + kLeafAreaOffset, key_len, rec_bits, dup_bits, trail_bits, static_cast<size_t>(entry_bytes)};
  *before = *total = 0;
  for (size_t i = 0; i < n; ++i) {
    const int k = e->stored(e->get(i));
    if (k < 0) return false;
    if (i < index) *before += static_cast<size_t>(k);
    *total += static_cast<size_t>(k);
  }
  const size_t free_bytes = get_le16(page + 12);
  return n * e->eb + *total <= kLeafAreaSize && n * e->eb + *total + free_bytes == kLeafAreaSize;
}

}  // namespace

bool patch_leaf_insert(uint8_t* page, const Node& after, size_t index, char filler) {
  const int key_len = after.key_len;
  const size_t n = get_le16(page + 2);  // entries before the insert
  if (n + 1 != after.count() || index > n) return false;
  LeafEntries e;
  size_t before, total;
  // Key bytes of the entries before the new one keep their place.
  if (!leaf_entries(page, key_len, n, index, &e, &before, &total) || after.recnos[index] > low_mask(e.rec_bits))
    return false;
  const size_t eb = e.eb;
  uint8_t* area = e.area;
  const size_t free_bytes = get_le16(page + 12);
  const size_t key_start = kLeafAreaSize - total;
  const size_t top = kLeafAreaSize - before;  // the new entry's key bytes end here

  const char* key = after.key(index);
  const int trail = leaf_trailing(key, key_len, filler);
  const int dup = index == 0 ? 0 : leaf_shared(after.key(index - 1), key, key_len, trail);
  const long fresh = key_len - trail - dup;
  // The entry that followed the new one's place now shares a prefix with it.
  long next_old = 0, next_fresh = 0;
  int next_dup = 0, next_trail = 0;
  uint32_t next_recno = 0;
  if (index < n) {
    const uint64_t v = e.get(index);
    next_old = e.stored(v);
    next_recno = e.recno(v);
    next_trail = e.trail(v);
    next_dup = leaf_shared(key, after.key(index + 1), key_len, next_trail);
    next_fresh = key_len - next_trail - next_dup;
  }
  const long grow = fresh + next_fresh - next_old;  // key bytes gained, may be negative
  if (static_cast<long>(eb) + grow > static_cast<long>(free_bytes)) return false;

  // Key bytes of the entries after those two move down (or up) by `grow`.
  const size_t rest_end = top - static_cast<size_t>(next_old);
  std::memmove(area + static_cast<long>(key_start) - grow, area + key_start, rest_end - key_start);
  std::memcpy(area + top - static_cast<size_t>(fresh), key + dup, static_cast<size_t>(fresh));
  if (index < n)
    std::memcpy(area + top - static_cast<size_t>(fresh + next_fresh), after.key(index + 1) + next_dup,
                static_cast<size_t>(next_fresh));
  std::memmove(area + (index + 1) * eb, area + index * eb, (n - index) * eb);
  e.put(index, after.recnos[index], dup, trail);
  if (index < n) e.put(index + 1, next_recno, next_dup, next_trail);

  const size_t new_free = free_bytes - eb - static_cast<size_t>(static_cast<long>(grow));
  const size_t entry_end = (n + 1) * eb;
  // The gap is zero, as a page packed afresh has it.
  std::memset(area + entry_end, 0, new_free);
  put_le16(page + 2, static_cast<uint16_t>(n + 1));
  put_le16(page + 12, static_cast<uint16_t>(new_free));
  return true;
}

bool patch_leaf_remove(uint8_t* page, const Node& after, size_t index, char filler) {
  (void)filler;
  const int key_len = after.key_len;
  const size_t n = get_le16(page + 2);  // entries before the removal
  if (n != after.count() + 1 || index >= n) return false;
  LeafEntries e;
  size_t before, total;
  if (!leaf_entries(page, key_len, n, index, &e, &before, &total)) return false;
  const size_t eb = e.eb;
  uint8_t* area = e.area;
  const size_t free_bytes = get_le16(page + 12);
  const size_t key_start = kLeafAreaSize - total;
  const size_t top = kLeafAreaSize - before;  // the removed entry's key bytes end here

  const long gone = e.stored(e.get(index));
  // The entry after the removed one shares a prefix with the one before it now.
  long next_old = 0, next_fresh = 0;
  int next_dup = 0, next_trail = 0;
  uint32_t next_recno = 0;
  if (index + 1 < n) {
    const uint64_t v = e.get(index + 1);
    next_old = e.stored(v);
    next_recno = e.recno(v);
    next_trail = e.trail(v);
    next_dup = index == 0 ? 0 : leaf_shared(after.key(index - 1), after.key(index), key_len, next_trail);
    next_fresh = key_len - next_trail - next_dup;
  }
  const long grow = next_fresh - next_old - gone;  // key bytes gained, usually negative
  if (grow > static_cast<long>(free_bytes + eb)) return false;

  // The entries close up first: key bytes that move down may take the last
  // entry's place. Then the key bytes of the entries after those two move up (or
  // down) by -grow.
  std::memmove(area + index * eb, area + (index + 1) * eb, (n - index - 1) * eb);
  if (index + 1 < n) e.put(index, next_recno, next_dup, next_trail);
  const size_t rest_end = top - static_cast<size_t>(gone + next_old);
  std::memmove(area + static_cast<long>(key_start) - grow, area + key_start, rest_end - key_start);
  if (index + 1 < n)
    std::memcpy(area + top - static_cast<size_t>(next_fresh), after.key(index) + next_dup,
                static_cast<size_t>(next_fresh));

  const size_t new_free = static_cast<size_t>(static_cast<long>(free_bytes + eb) - grow);
  std::memset(area + (n - 1) * eb, 0, new_free);
  put_le16(page + 2, static_cast<uint16_t>(n - 1));
  put_le16(page + 12, static_cast<uint16_t>(new_free));
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
