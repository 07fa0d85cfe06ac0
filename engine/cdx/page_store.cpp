#include "page_store.h"

#include <cstdio>

#include "byte_order.h"
#include "interior_page.h"
#include "leaf_page.h"
#include "tag_header.h"

namespace ace::cdx {

namespace {

// A freed page holds the offset of the next free page in its first four bytes.
constexpr uint32_t kFreeListEnd = 0;

bool no_page(uint32_t v) { return v == 0 || v == kNoPage; }

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
  uint8_t b[12];
  Status s = read(0, b, sizeof b);
  if (!s.ok()) return s;
  free_head_ = get_le32(b + 4);
  if (no_page(free_head_)) free_head_ = kFreeListEnd;
  version_ = get_le32(b + 8);
  return {};
}

Status PageStore::read(uint64_t offset, void* buf, size_t n) {
  if (!file_->read_at(offset, buf, n).ok()) return io_error("read");
  return {};
}

Status PageStore::write(uint64_t offset, const void* buf, size_t n) {
  if (!file_->write_at(offset, buf, n).ok()) return io_error("write");
  if (offset + n > size_) size_ = offset + n;
  return {};
}

Status PageStore::load(uint32_t offset, int key_len, char filler, const Node** out) {
  auto it = cache_.find(offset);
  if (it != cache_.end() && it->second->key_len == key_len) {
    *out = it->second.get();
    return {};
  }
  if (offset % kPageSize != 0 || offset < kTagHeaderSize || offset + kPageSize > size_)
    return corrupt(offset, "page offset outside the file");
  uint8_t page[kPageSize];
  Status s = read(offset, page, sizeof page);
  if (!s.ok()) return s;
  uint16_t attr = get_le16(page);
  if (attr & ~0x7u) return corrupt(offset, "bad node attribute");
  auto node = std::make_unique<Node>();
  std::string why;
  bool ok = (attr & kAttrLeaf) ? decode_leaf(page, offset, key_len, filler, node.get(), &why)
                               : decode_interior(page, offset, key_len, node.get(), &why);
  if (!ok) return corrupt(offset, why);
  *out = node.get();
  cache_[offset] = std::move(node);
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
  Status s = write(node.offset, page, kPageSize);
  if (!s.ok()) {
    cache_.erase(node.offset);
    return s;
  }
  const uint32_t offset = node.offset;
  cache_[offset] = std::make_unique<Node>(std::move(node));
  return {};
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

Status PageStore::bump_version() {
  if (batch_depth_ > 0) {
    version_pending_ = true;
    return {};
  }
  ++version_;
  uint8_t b[4];
  put_le32(b, version_);
  return write(8, b, 4);
}

Status PageStore::end_batch() {
  if (batch_depth_ > 0 && --batch_depth_ == 0 && version_pending_) {
    version_pending_ = false;
    return bump_version();
  }
  return {};
}

Status PageStore::refresh() {
  // One read of the counter tells whether anything changed; only then is the
  // rest looked at again.
  uint8_t b[4];
  Status s = read(8, b, sizeof b);
  if (!s.ok()) return s;
  if (get_le32(b) == version_) return {};
  cache_.clear();
  return load_header_fields();
}

}  // namespace ace::cdx
