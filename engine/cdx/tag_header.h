// The 1024-byte header of a tag; the bag's file header has the same layout and
// describes the tag directory.
//
// | Offset | Size | Meaning                                                          |
// |--------|------|------------------------------------------------------------------|
// | 0      | 4    | root node offset                                                 |
// | 4      | 4    | free-page list head (file header only; 0 or 0xFFFFFFFF none)     |
// | 8      | 4    | version counter, changed by every update                         |
// | 12     | 2    | key length                                                       |
// | 14     | 1    | options: 0x01 unique, 0x08 FOR clause, 0x20 compact,             |
// |        |      | 0x40 compound, 0x80 structural bag (file header only)            |
// | 15     | 1    | signature (1)                                                    |
// | 16     | 486  | unused by us, written as zeros                                   |
// | 502    | 2    | 0 ascending, 1 descending                                        |
// | 504    | 2    | key expression length (seen equal to the value at 510)           |
// | 506    | 2    | FOR expression length, NUL included (1 when there is none)       |
// | 508    | 2    | zero                                                             |
// | 510    | 2    | key expression length, NUL included                              |
// | 512    | 512  | expression pool: key expression, NUL, FOR expression, NUL        |
#pragma once

#include <cstdint>
#include <string>

namespace ace::cdx {

constexpr size_t kTagHeaderSize = 1024;
constexpr uint8_t kOptUnique = 0x01;
constexpr uint8_t kOptFor = 0x08;
constexpr uint8_t kOptCompact = 0x20;
constexpr uint8_t kOptCompound = 0x40;
constexpr uint8_t kOptStructural = 0x80;

struct TagHeader {
  uint32_t root = 0;
  uint32_t free_list = 0;
  uint32_t version = 0;
  uint16_t key_len = 0;
  uint8_t options = kOptCompact | kOptCompound;
  uint8_t signature = 1;
  bool descending = false;
  std::string key_expr;
  std::string for_expr;

  bool unique() const { return (options & kOptUnique) != 0; }
};

// Expressions longer than the pool holds are cut at the first NUL or the pool's end.
TagHeader decode_tag_header(const uint8_t* bytes);
// False when the two expressions do not fit the 512-byte pool.
bool encode_tag_header(const TagHeader& h, uint8_t* bytes);

}  // namespace ace::cdx
