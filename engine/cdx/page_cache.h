// Decoded pages of one bag by file offset: an open-addressing table, because a
// descent looks up a page per level and a chained table costs a cache miss more
// per lookup.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "node.h"

namespace ace::cdx {

// A cached node with the page it was packed into, as the file has it.
struct CachedPage {
  Node node;
  uint8_t page[kPageSize];
};

class PageCache {
 public:
  CachedPage* find(uint32_t offset) const;
  // The entry for `offset`, made empty when there was none.
  CachedPage& at(uint32_t offset);
  void erase(uint32_t offset);
  void clear();

 private:
  // Offsets 0 and 1 are never pages (the bag's header is there): they mark empty
  // and erased slots.
  static constexpr uint32_t kEmpty = 0, kErased = 1;
  struct Slot {
    uint32_t offset = kEmpty;
    std::unique_ptr<CachedPage> entry;
  };
  size_t home(uint32_t offset) const;
  void grow();

  std::vector<Slot> slots_;
  size_t occupied_ = 0;  // live and erased slots
};

}  // namespace ace::cdx
