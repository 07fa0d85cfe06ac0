#include "page_store.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "byte_order.h"
#include "interior_page.h"
#include "leaf_page.h"
#include "tag_header.h"

namespace ace::cdx {

namespace {

// A freed page holds the offset of the next free page in its first four bytes.
constexpr uint32_t kFreeListEnd = 0;

bool no_page(uint32_t v) { return v == 0 || v == kNoPage; }

// Views are made with room to grow, so a bag that gains pages is seldom mapped
// again.
constexpr uint64_t kMinViewLength = 16u << 20;

}  // namespace

PageStore::PageStore(std::unique_ptr<io::File> file) : file_(std::move(file)) {}

Status PageStore::io_error(const char* what) const {
  return Status::error(Status::IoError, path() + ": cannot " + what + " the index file");
}

Status PageStore::corrupt(uint32_t offset, const std::string& why) const {
  char at[32];
  std::snprintf(at, sizeof at, "0x%X", static_cast<unsigned>(offset));
  return Status::error(Status::Corrupt,
                       path() + ": damaged index page at offset " + at + ": " + why);
}

Status PageStore::load_header_fields() {
  if (!file_->size(&size_).ok()) return io_error("size");
  disk_size_ = size_;
  uint8_t b[12];
  Status s = read(0, b, sizeof b);
  if (!s.ok()) return s;
  free_head_ = get_le32(b + 4);
  if (no_page(free_head_)) free_head_ = kFreeListEnd;
  version_ = get_le32(b + 8);
  return {};
}

bool PageStore::viewable(uint64_t end) {
  if (!views_offered_) return false;
  if (end > disk_size_) {
    // Others may have added pages since we last looked.
    uint64_t now = 0;
    if (!file_->size(&now).ok()) return false;
    disk_size_ = std::max(disk_size_, now);
    if (end > disk_size_) return false;
  }
  if (end > view_length_ || !view_) {
    const uint64_t want = std::max(kMinViewLength, disk_size_ * 2);
    view_ = file_->view(want);
    view_length_ = view_ ? want : 0;
    if (!view_) {
      views_offered_ = false;
      return false;
    }
  }
  return true;
}

Status PageStore::read(uint64_t offset, void* buf, size_t n) {
  if (viewable(offset + n)) {
    std::memcpy(buf, view_ + offset, n);
    return {};
  }
  if (!file_->read_at(offset, buf, n).ok()) return io_error("read");
  return {};
}

Status PageStore::write(uint64_t offset, const void* buf, size_t n) {
  if (viewable(offset + n)) {
    std::memcpy(view_ + offset, buf, n);
  } else {
    // Growing the file goes through the system: a view has no bytes past the end.
    if (!file_->write_at(offset, buf, n).ok()) return io_error("write");
    disk_size_ = std::max(disk_size_, offset + n);
  }
  if (offset + n > size_) size_ = offset + n;
  return {};
}

Status PageStore::load(uint32_t offset, int key_len, char filler, const Node** out) {
  if (CachedPage* c = cache_.find(offset); c && c->node.key_len == key_len) {
    *out = &c->node;
    return {};
  }
  if (offset % kPageSize != 0 || offset < kTagHeaderSize || offset + kPageSize > size_)
    return corrupt(offset, "page offset outside the file");
  uint8_t page[kPageSize];
  Status s = read(offset, page, kPageSize);
  if (!s.ok()) return s;
  uint16_t attr = get_le16(page);
  if (attr & ~0x7u) return corrupt(offset, "bad node attribute");
  Node node;
  std::string why;
  bool ok = (attr & kAttrLeaf) ? decode_leaf(page, offset, key_len, filler, &node, &why)
                               : decode_interior(page, offset, key_len, &node, &why);
  if (!ok) return corrupt(offset, why);
  CachedPage& entry = cache_.at(offset);
  entry.node = std::move(node);
  std::memcpy(entry.page, page, kPageSize);
  *out = &entry.node;
  return {};
}

Status PageStore::store(Node&& node, char filler) {
  uint8_t page[kPageSize];
  bool ok;
  if (node.leaf()) {
    std::vector<const char*> keys(node.count());
    for (size_t i = 0; i < node.count(); ++i) keys[i] = node.key(i);
    ok = encode_leaf(node.attr, node.left, node.right, node.key_len, filler, keys.data(),
                     node.recnos.data(), node.count(), page);
  } else {
    ok = encode_interior(node, page);
  }
  if (!ok) return Status::error(Status::Invalid, path() + ": node does not fit a page");
  return store_packed(std::move(node), page);
}

Status PageStore::store_packed(Node&& node, const uint8_t* page) {
  const uint32_t offset = node.offset;
  Status s = write(offset, page, kPageSize);
  if (!s.ok()) {
    cache_.erase(offset);
    return s;
  }
  CachedPage& entry = cache_.at(offset);
  entry.node = std::move(node);
  std::memcpy(entry.page, page, kPageSize);
  return {};
}

PageStore::CachedPage* PageStore::cached(uint32_t offset) { return cache_.find(offset); }

Status PageStore::write_cached(CachedPage* entry) {
  const uint32_t offset = entry->node.offset;
  Status s = write(offset, entry->page, kPageSize);
  if (!s.ok()) cache_.erase(offset);
  return s;
}

Status PageStore::allocate(uint32_t* offset) {
  if (free_head_ != kFreeListEnd) {
    uint32_t page = free_head_;
    if (page % kPageSize != 0 || page < kTagHeaderSize || page + kPageSize > size_)
      return corrupt(page, "free-page list outside the file");
    uint8_t b[4];
    Status s = read(page, b, 4);
    if (!s.ok()) return s;
    uint32_t next = get_le32(b);
    if (no_page(next)) next = kFreeListEnd;
    uint8_t h[4];
    put_le32(h, next);
    s = write(4, h, 4);
    if (!s.ok()) return s;
    free_head_ = next;
    *offset = page;
    return {};
  }
  return allocate_run(1, offset);
}

Status PageStore::allocate_header(uint32_t* offset) { return allocate_run(2, offset); }

Status PageStore::allocate_run(size_t pages, uint32_t* first) {
  uint64_t at = (size_ + kPageSize - 1) / kPageSize * kPageSize;
  uint64_t end = at + pages * kPageSize;
  if (end > 0xFFFFFE00ull) return Status::error(Status::Invalid, path() + ": index file full");
  // Claimed here, written by the caller right after.
  size_ = end;
  *first = static_cast<uint32_t>(at);
  return {};
}

Status PageStore::release(uint32_t offset) {
  cache_.erase(offset);
  uint8_t page[kPageSize] = {};
  put_le32(page, free_head_);
  Status s = write(offset, page, sizeof page);
  if (!s.ok()) return s;
  uint8_t h[4];
  put_le32(h, offset);
  s = write(4, h, 4);
  if (!s.ok()) return s;
  free_head_ = offset;
  return {};
}

Status PageStore::write_version() {
  uint8_t b[4];
  put_le32(b, version_);
  return write(8, b, 4);
}

Status PageStore::bump_version() {
  if (in_change_) return {};
  version_ += 2;
  return write_version();
}

Status PageStore::begin_change(bool* unfinished) {
  *unfinished = (version_ & 1) != 0;
  version_ += *unfinished ? 2 : 1;
  in_change_ = true;
  Status s = write_version();
  if (!s.ok()) in_change_ = false;
  return s;
}

Status PageStore::end_change() {
  if (!in_change_) return {};
  in_change_ = false;
  if (version_ & 1) ++version_;
  return write_version();
}

Status PageStore::refresh() {
  // One read of the counter tells whether anything changed; only then is the
  // rest looked at again.
  uint8_t b[4];
  Status s = read(8, b, sizeof b);
  if (!s.ok()) return s;
  if (get_le32(b) == version_) return {};
  drop_cache();
  return load_header_fields();
}

}  // namespace ace::cdx
