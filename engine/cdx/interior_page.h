// Interior pages: after the node header, count entries of the full key, the
// record number and the child page offset, both big-endian.
//
// | Offset | Size          | Meaning                                   |
// |--------|---------------|-------------------------------------------|
// | 0      | 12            | node header (node.h)                      |
// | 12     | key_len       | entry 1: the last key of the child        |
// | +      | 4             | entry 1: its record number (big-endian)   |
// | +      | 4             | entry 1: child page offset (big-endian)   |
// | ...    |               | further entries, same layout              |
#pragma once

#include <cstdint>
#include <string>

#include "node.h"

namespace ace::cdx {

constexpr size_t kInteriorAreaOffset = 12;

// How many entries fit in an interior page.
size_t interior_capacity(int key_len);

bool decode_interior(const uint8_t* page, uint32_t offset, int key_len, Node* out,
                     std::string* why);
// False when the node holds more entries than a page does.
bool encode_interior(const Node& node, uint8_t* page);

}  // namespace ace::cdx
