// One tag of a bag: a B-tree of compressed leaves and interior nodes under a
// tag header. Seeks and walks run in the tag's order (reversed for descending
// tags, whose pages hold keys ascending like any other); inserts and removals
// split, merge and relink pages so that every node keeps its siblings, and every
// parent entry the last key of its child.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cdx_status.h"
#include "node.h"
#include "page_store.h"
#include "tag_header.h"

namespace ace::cdx {

// Keys of character expressions are padded with blanks, all others (numbers,
// dates, integers) with zero bytes; the pages do not record which, so the owner
// of the tag says so.
enum class KeyKind { Character, Binary };

// A position in a tag. valid is false past either end.
struct Cursor {
  bool valid = false;
  uint32_t leaf = kNoPage;
  size_t index = 0;
  std::string key;
  uint32_t recno = 0;
};

struct VerifyReport {
  uint64_t keys = 0;
  uint32_t pages = 0;
  int depth = 0;
};

class Tag {
 public:
  Tag(PageStore& store, std::string name, uint32_t header_offset, TagHeader header,
      KeyKind kind);

  const std::string& name() const { return name_; }
  uint32_t header_offset() const { return header_offset_; }
  const TagHeader& header() const { return header_; }
  int key_len() const { return header_.key_len; }
  bool unique() const { return header_.unique(); }
  bool descending() const { return header_.descending; }
  const std::string& key_expr() const { return header_.key_expr; }
  const std::string& for_expr() const { return header_.for_expr; }
  KeyKind kind() const { return kind_; }
  void set_kind(KeyKind kind);
  char filler() const { return kind_ == KeyKind::Character ? ' ' : '\0'; }

  // Walks in the tag's order.
  Status first(Cursor* c);
  Status last(Cursor* c);
  Status next(Cursor* c);
  Status prev(Cursor* c);
  // Positions on the first entry, in the tag's order, whose key starts with key
  // or else follows it (*found false); c->valid is false when none follows.
  Status seek(std::string_view key, Cursor* c, bool* found);
  // Positions on exactly (key, recno), for getting back after a change.
  Status seek_entry(std::string_view key, uint32_t recno, Cursor* c, bool* found);

  // A unique tag keeps only the first record of a key: adding a key it holds
  // already adds nothing (*added false). Keys are padded or cut to key_len.
  Status insert(std::string_view key, uint32_t recno, bool* added = nullptr);
  Status remove(std::string_view key, uint32_t recno, bool* removed = nullptr);

  // Walks every page from the root: page format, key order, parent keys,
  // sibling links, equal leaf depth, no page reached twice.
  Status verify(VerifyReport* report = nullptr);

  // Re-reads the header (after another writer changed the file).
  Status reload_header();
  // Every page of the tree, for freeing them when the tag is dropped.
  Status collect_pages(std::vector<uint32_t>* pages);

 private:
  struct Step {
    uint32_t offset;
    size_t index;
  };
  using Path = std::vector<Step>;

  std::string pad(std::string_view key) const;
  Status load(uint32_t offset, const Node** out);
  Status copy(uint32_t offset, Node* out);
  Status store(const Node& node) { return store_.store(node, filler()); }
  Status write_header();
  Status mark_update();

  // Descends to the leaf holding the first entry at or after the target.
  template <class AtOrAfter>
  Status descend(AtOrAfter at_or_after, Path* path, const Node** leaf, size_t* index);
  Status settle_forward(Cursor* c, const Node* node, size_t index);
  Status settle_backward(Cursor* c, const Node* node, size_t index);
  Status phys_first(Cursor* c);
  Status phys_last(Cursor* c);
  Status phys_next(Cursor* c);
  Status phys_prev(Cursor* c);
  Status lower_bound(const std::string& key, size_t len, bool strict, Cursor* c);

  bool fits(const Node& node) const;
  Status fix(Path& path, size_t depth, Node node);
  // Inserts into a cached leaf that has room by patching its page; *done false
  // when the leaf must take the general way (fix).
  Status insert_in_place(Path& path, uint32_t leaf, size_t index, const std::string& key, uint32_t recno,
                         bool* done);
  // Removes from a cached leaf by patching its page, unless the leaf would be
  // left empty or thin; *done false when it must take the general way (fix).
  Status remove_in_place(Path& path, uint32_t leaf, size_t index, bool* done);
  // The parent of the node at `depth` takes its new last entry.
  Status update_parent(Path& path, size_t depth, uint32_t offset, const char* last_key, uint32_t last_recno);
  Status split(Path& path, size_t depth, Node node);
  Status try_merge(Path& path, size_t depth, Node& node, bool* merged);
  Status unlink_and_release(const Node& node);
  Status settle_root(Node node);
  struct LevelLink {
    uint32_t offset, left, right;
  };
  Status verify_node(uint32_t offset, size_t depth, std::vector<bool>* seen,
                     std::vector<std::vector<LevelLink>>* levels, VerifyReport* report,
                     std::string* last_key, uint32_t* last_recno);

  PageStore& store_;
  Path path_;  // reused by insert and remove, which are not re-entered
  std::string name_;
  uint32_t header_offset_;
  TagHeader header_;
  KeyKind kind_;
};

}  // namespace ace::cdx
