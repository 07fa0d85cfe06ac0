// The bag file seen as 512-byte pages: reads and writes through ace::io::File,
// a cache of decoded nodes, page allocation with the free-page list, and the
// file-wide version counter. Every tag of a bag shares one store.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "cdx_status.h"
#include "io/file.h"
#include "node.h"

namespace ace::cdx {

class PageStore {
 public:
  explicit PageStore(std::unique_ptr<io::File> file);

  // Reads the free list and version from the file header at offset 0.
  Status load_header_fields();
  Status read(uint64_t offset, void* buf, size_t n);
  Status write(uint64_t offset, const void* buf, size_t n);

  // A decoded node, cached; the pointer stays valid until the node is stored,
  // freed or the cache dropped. Damaged pages give Corrupt naming the offset.
  Status load(uint32_t offset, int key_len, char filler, const Node** out);
  // Encodes and writes a node that fits one page (see leaf_page.h, interior_page.h).
  Status store(const Node& node, char filler) { return store(Node(node), filler); }
  Status store(Node&& node, char filler);
  // Writes a page already packed from the node, and keeps the node.
  Status store_packed(Node&& node, const uint8_t* page);

  Status allocate(uint32_t* offset);
  // Two adjacent pages at the end of the file, for a tag header.
  Status allocate_header(uint32_t* offset);
  // Contiguous pages at the end of the file for a bulk build. Allocated pages are
  // claimed, not written: the caller writes every one of them.
  Status allocate_run(size_t pages, uint32_t* first);
  Status release(uint32_t offset);

  // Marks an update: the file header's version counter changes. Inside a batch
  // the counter is written once, when the batch ends.
  Status bump_version();
  void begin_batch() { ++batch_depth_; }
  Status end_batch();
  uint32_t version() const { return version_; }
  // Drops the cache when another writer changed the file since we last looked.
  Status refresh();
  void drop_cache() { cache_.clear(); }

  uint64_t size() const { return size_; }
  const std::string& path() const { return file_->path(); }
  io::File& file() { return *file_; }
  Status corrupt(uint32_t offset, const std::string& why) const;
  Status io_error(const char* what) const;

 private:
  std::unique_ptr<io::File> file_;
  std::unordered_map<uint32_t, std::unique_ptr<Node>> cache_;
  uint64_t size_ = 0;
  uint32_t free_head_ = 0;
  uint32_t version_ = 0;
  int batch_depth_ = 0;
  bool version_pending_ = false;
};

}  // namespace ace::cdx
