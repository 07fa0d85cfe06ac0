// Orders the keys of a bulk build: by key bytes, then record number. A radix sort
// on each key's first eight bytes does most of the work; runs sharing those bytes
// are finished by comparison.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ace::cdx {

// keys holds n keys of key_len bytes back to back; returns their indexes in order.
std::vector<uint32_t> sort_key_order(const char* keys, const uint32_t* recnos, size_t n,
                                     int key_len);

}  // namespace ace::cdx
