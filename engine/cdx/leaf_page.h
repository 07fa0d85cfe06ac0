// Compressed leaf pages: decoding a page into a Node and packing entries into one.
//
// | Offset | Size | Meaning                                                      |
// |--------|------|--------------------------------------------------------------|
// | 0      | 12   | node header (node.h)                                         |
// | 12     | 2    | free bytes left in the key area                              |
// | 14     | 4    | record-number mask                                           |
// | 18     | 1    | duplicate-count mask                                         |
// | 19     | 1    | trailing-count mask                                          |
// | 20     | 1    | record-number bits                                           |
// | 21     | 1    | duplicate-count bits                                         |
// | 22     | 1    | trailing-count bits                                          |
// | 23     | 1    | bytes per entry                                              |
// | 24     | 488  | key area: entries grow from its start, key bytes from its end|
//
// An entry is a little-endian integer of "bytes per entry" bytes holding, from
// the low bits, the record number, the duplicate count (bytes shared with the
// previous key) and the trailing count (filler bytes cut from the key's end).
// Each key's remaining bytes are stored backwards from the end of the key area,
// each key's bytes in their own order. Filler is a blank for character keys and
// 0x00 for binary (numeric, date) keys; the page itself does not say which.
#pragma once

#include <cstdint>
#include <string>

#include "node.h"

namespace ace::cdx {

constexpr size_t kLeafAreaOffset = 24;
constexpr size_t kLeafAreaSize = kPageSize - kLeafAreaOffset;  // 488

// Bits needed for a duplicate or trailing count of up to key_len.
int leaf_count_bits(int key_len);
// Bytes per entry for a page whose largest record number is max_recno.
int leaf_entry_bytes(int key_len, uint32_t max_recno);
// Filler bytes at the end of a key.
int leaf_trailing(const char* key, int key_len, char filler);
// Leading bytes shared by two keys, not reaching into the trailing filler.
int leaf_shared(const char* prev, const char* key, int key_len, int trailing);

// Decodes a leaf page; false with a reason in *why when the page is malformed.
bool decode_leaf(const uint8_t* page, uint32_t offset, int key_len, char filler, Node* out,
                 std::string* why);

// Packs n entries (keys[i] full-length, recnos[i]) with the header fields of the
// node into page; false when they do not fit in one page.
bool encode_leaf(uint16_t attr, uint32_t left, uint32_t right, int key_len, char filler,
                 const char* const* keys, const uint32_t* recnos, size_t n, uint8_t* page);

// Adds entry `index` of `after` (the node with the entry inserted) to `page`, the
// node's page packed before the insert, in place: later entries move up, later
// key bytes move down, and the entry after the new one is stored again with the
// prefix it now shares. The result equals what encode_leaf packs from `after`.
// False, with the page unchanged, when it must be packed afresh instead: the
// record number needs more bits than the page gives, or the entry does not fit.
bool patch_leaf_insert(uint8_t* page, const Node& after, size_t index, char filler);

// Takes entry `index` out of `page`, the packed page of a node that held it;
// `after` is the node without it. The entry that follows is stored again with
// the prefix it now shares, and the page keeps its entry width (so it may be
// wider than packing afresh would make it). False, with the page unchanged,
// when that does not fit or the page has an unusual layout.
bool patch_leaf_remove(uint8_t* page, const Node& after, size_t index, char filler);

// Bytes of the key area the entries need (entries plus stored key bytes).
size_t leaf_bytes_needed(int key_len, char filler, const char* const* keys,
                         const uint32_t* recnos, size_t n);

}  // namespace ace::cdx
