// A compound index file (bag): the tag directory and its tags. The directory is
// a tag itself: its header is the file header at offset 0, its keys are the tag
// names (10 bytes, blank-padded) and its record numbers the offsets of the tag
// headers.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "cdx_status.h"
#include "io/file.h"
#include "page_store.h"
#include "tag.h"

namespace ace::cdx {

constexpr int kTagNameLength = 10;

struct TagSpec {
  std::string name;  // at most 10 characters; stored in upper case
  std::string key_expr;
  std::string for_expr;  // empty: no FOR condition
  int key_len = 0;
  KeyKind kind = KeyKind::Character;
  bool unique = false;
  bool descending = false;
};

// Keys for a bulk build: count() keys of key_len bytes back to back, and the
// record number of each.
struct KeySet {
  std::string bytes;
  std::vector<uint32_t> recnos;
  size_t count() const { return recnos.size(); }
};

class Bag {
 public:
  // Opens an existing bag; every tag named in the directory must have a sound header.
  static Status open(std::unique_ptr<io::File> file, std::unique_ptr<Bag>* out);
  // Writes an empty bag over the file's contents. A table's structural bag is
  // marked as such in its file header.
  static Status create(std::unique_ptr<io::File> file, bool structural, std::unique_ptr<Bag>* out);

  const std::vector<std::unique_ptr<Tag>>& tags() const { return tags_; }
  // Case-insensitive; nullptr when the bag has no such tag.
  Tag* find(std::string_view name) const;
  bool structural() const { return structural_; }

  // Builds a tag from its keys in one pass (sorted here; a unique tag keeps the
  // lowest record number of each key). A tag of the same name is replaced.
  Status create_tag(const TagSpec& spec, const KeySet& keys, Tag** out);
  Status drop_tag(std::string_view name);
  // Verifies the directory, every tag and the free-page list.
  Status verify();
  // Picks up changes another writer made since the last look. Tags that are still
  // there keep their objects (and their key kind); dropped ones are gone.
  Status refresh();

  Tag& directory() { return *directory_; }
  PageStore& store() { return store_; }
  const std::string& path() const { return store_.path(); }

 private:
  explicit Bag(std::unique_ptr<io::File> file) : store_(std::move(file)) {}
  Status load_tags();
  Status verify_free_list();
  Status write_tree(const TagSpec& spec, const KeySet& keys, uint32_t* header_offset);

  PageStore store_;
  std::unique_ptr<Tag> directory_;
  std::vector<std::unique_ptr<Tag>> tags_;
  bool structural_ = false;
};

}  // namespace ace::cdx
