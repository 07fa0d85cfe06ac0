#include "page_cache.h"

namespace ace::cdx {

size_t PageCache::home(uint32_t offset) const {
  // Pages are 512 bytes apart: the page number, spread by a multiplier.
  const uint64_t h = (static_cast<uint64_t>(offset / kPageSize) * 0x9E3779B97F4A7C15ull) >> 32;
  return static_cast<size_t>(h) & (slots_.size() - 1);
}

CachedPage* PageCache::find(uint32_t offset) const {
  if (slots_.empty()) return nullptr;
  for (size_t i = home(offset);; i = (i + 1) & (slots_.size() - 1)) {
    const Slot& s = slots_[i];
    if (s.offset == offset) return s.entry.get();
    if (s.offset == kEmpty) return nullptr;
  }
}

CachedPage& PageCache::at(uint32_t offset) {
  if (CachedPage* c = find(offset)) return *c;
  if ((occupied_ + 1) * 2 > slots_.size()) grow();
  size_t i = home(offset);
  while (slots_[i].offset != kEmpty && slots_[i].offset != kErased) i = (i + 1) & (slots_.size() - 1);
  if (slots_[i].offset == kEmpty) ++occupied_;
  slots_[i].offset = offset;
  slots_[i].entry = std::make_unique<CachedPage>();
  return *slots_[i].entry;
}

void PageCache::erase(uint32_t offset) {
  if (slots_.empty()) return;
  for (size_t i = home(offset);; i = (i + 1) & (slots_.size() - 1)) {
    Slot& s = slots_[i];
    if (s.offset == kEmpty) return;
    if (s.offset == offset) {
      s.offset = kErased;
      s.entry.reset();
      return;
    }
  }
}

void PageCache::clear() {
  slots_.clear();
  occupied_ = 0;
}

void PageCache::grow() {
  std::vector<Slot> old = std::move(slots_);
  size_t live = 0;
  for (const Slot& s : old)
    if (s.offset != kEmpty && s.offset != kErased) ++live;
  size_t size = 64;
  while (size < (live + 1) * 4) size *= 2;
  slots_ = std::vector<Slot>(size);
  occupied_ = live;
  for (Slot& s : old) {
    if (s.offset == kEmpty || s.offset == kErased) continue;
    size_t i = home(s.offset);
    while (slots_[i].offset != kEmpty) i = (i + 1) & (slots_.size() - 1);
    slots_[i] = std::move(s);
  }
}

}  // namespace ace::cdx
