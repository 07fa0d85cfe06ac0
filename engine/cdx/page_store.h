// The bag file seen as 512-byte pages: reads and writes through ace::io::File
// (through its shared view where it offers one), a cache of decoded nodes, page
// allocation with the free-page list, and the file-wide version counter. Every
// tag of a bag shares one store.
//
// The version counter (file header offset 8) changes with every update, so a
// reader whose counter differs drops its cache. Writers also use its lowest bit:
// odd while a change is under way. A writer killed part-way leaves it odd, and
// the next writer, seeing that, looks for what it left behind.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "cdx_status.h"
#include "io/file.h"
#include "node.h"
#include "page_cache.h"

namespace ace::cdx {

class PageStore {
 public:
  using CachedPage = cdx::CachedPage;

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
  // The cached node at `offset` with its page, for changing both in place; null
  // when the page is not cached.
  CachedPage* cached(uint32_t offset);
  // Writes the page of an entry changed in place; a failure drops the entry.
  Status write_cached(CachedPage* entry);

  Status allocate(uint32_t* offset);
  // Two adjacent pages at the end of the file, for a tag header.
  Status allocate_header(uint32_t* offset);
  // Contiguous pages at the end of the file for a bulk build. Allocated pages are
  // claimed, not written: the caller writes every one of them.
  Status allocate_run(size_t pages, uint32_t* first);
  Status release(uint32_t offset);

  // Marks an update: the file header's version counter changes (by two, keeping
  // its lowest bit). Inside a change it is already marked.
  Status bump_version();
  // Makes the counter odd for a change under way; *unfinished tells whether it
  // was odd already (a writer stopped part-way). Call right after refresh().
  Status begin_change(bool* unfinished);
  // Makes the counter even again: the change is complete.
  Status end_change();
  // Ends a change that failed part-way, leaving the counter odd for the next
  // writer to see.
  void abandon_change() { in_change_ = false; }
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
  // The view covers [offset, end) of the file as it is on disk: false when no
  // view is offered or the file is shorter (the caller then reads or writes).
  bool viewable(uint64_t end);
  Status write_version();

  std::unique_ptr<io::File> file_;
  uint8_t* view_ = nullptr;
  uint64_t view_length_ = 0;
  uint64_t disk_size_ = 0;  // the file's size as last seen or grown by us
  bool views_offered_ = true;
  PageCache cache_;
  uint64_t size_ = 0;
  uint32_t free_head_ = 0;
  uint32_t version_ = 0;
  bool in_change_ = false;
};

}  // namespace ace::cdx
