#include "tag.h"

#include <algorithm>
#include <cstring>

#include "byte_order.h"
#include "interior_page.h"
#include "leaf_page.h"

namespace ace::cdx {

namespace {

// Deeper than any real tree: a deeper descent means a cycle of child pointers.
constexpr size_t kMaxDepth = 40;

bool entry_equals(const Node& n, size_t i, const char* key, uint32_t recno) {
  return n.recnos[i] == recno && std::memcmp(n.key(i), key, static_cast<size_t>(n.key_len)) == 0;
}

void erase_entry(Node& n, size_t i) {
  const size_t kl = static_cast<size_t>(n.key_len);
  n.keys.erase(i * kl, kl);
  n.recnos.erase(n.recnos.begin() + static_cast<std::ptrdiff_t>(i));
  if (!n.leaf()) n.children.erase(n.children.begin() + static_cast<std::ptrdiff_t>(i));
}

void insert_entry(Node& n, size_t i, const char* key, uint32_t recno, uint32_t child) {
  const size_t kl = static_cast<size_t>(n.key_len);
  n.keys.insert(i * kl, key, kl);
  n.recnos.insert(n.recnos.begin() + static_cast<std::ptrdiff_t>(i), recno);
  if (!n.leaf()) n.children.insert(n.children.begin() + static_cast<std::ptrdiff_t>(i), child);
}

void set_entry(Node& n, size_t i, const char* key, uint32_t recno) {
  std::memcpy(&n.keys[i * static_cast<size_t>(n.key_len)], key, static_cast<size_t>(n.key_len));
  n.recnos[i] = recno;
}

// Moves entries [from, end) of src into a fresh node dst.
void take_tail(Node& src, size_t from, Node& dst) {
  const size_t kl = static_cast<size_t>(src.key_len);
  dst.keys.assign(src.keys, from * kl, std::string::npos);
  dst.recnos.assign(src.recnos.begin() + static_cast<std::ptrdiff_t>(from), src.recnos.end());
  src.keys.resize(from * kl);
  src.recnos.resize(from);
  if (!src.leaf()) {
    dst.children.assign(src.children.begin() + static_cast<std::ptrdiff_t>(from),
                        src.children.end());
    src.children.resize(from);
  }
}

void append_all(Node& dst, const Node& src) {
  dst.keys += src.keys;
  dst.recnos.insert(dst.recnos.end(), src.recnos.begin(), src.recnos.end());
  dst.children.insert(dst.children.end(), src.children.begin(), src.children.end());
}

size_t leaf_bytes(const Node& n, size_t from, size_t to, char filler) {
  std::vector<const char*> keys(to - from);
  for (size_t i = from; i < to; ++i) keys[i - from] = n.key(i);
  return leaf_bytes_needed(n.key_len, filler, keys.data(), n.recnos.data() + from, to - from);
}

}  // namespace

Tag::Tag(PageStore& store, std::string name, uint32_t header_offset, TagHeader header,
         KeyKind kind)
    : store_(store),
      name_(std::move(name)),
      header_offset_(header_offset),
      header_(std::move(header)),
      kind_(kind) {}

void Tag::set_kind(KeyKind kind) {
  if (kind == kind_) return;
  kind_ = kind;
  store_.drop_cache();  // nodes decoded with the other filler
}

std::string Tag::pad(std::string_view key) const {
  std::string k(key.substr(0, static_cast<size_t>(key_len())));
  k.resize(static_cast<size_t>(key_len()), filler());
  return k;
}

Status Tag::load(uint32_t offset, const Node** out) {
  return store_.load(offset, key_len(), filler(), out);
}

Status Tag::copy(uint32_t offset, Node* out) {
  const Node* n;
  Status s = load(offset, &n);
  if (s.ok()) *out = *n;
  return s;
}

Status Tag::write_header() {
  uint8_t bytes[kTagHeaderSize];
  if (!encode_tag_header(header_, bytes))
    return Status::error(Status::Invalid, store_.path() + ": expressions too long for tag " + name_);
  return store_.write(header_offset_, bytes, sizeof bytes);
}

// Readers notice changes by the file header's counter; the tag's own counter is
// kept in step in memory and reaches the disk whenever the tag header is written.
Status Tag::mark_update() {
  ++header_.version;
  return store_.bump_version();
}

Status Tag::reload_header() {
  uint8_t bytes[kTagHeaderSize];
  Status s = store_.read(header_offset_, bytes, sizeof bytes);
  if (!s.ok()) return s;
  TagHeader h = decode_tag_header(bytes);
  if (h.key_len < 1 || h.key_len > kMaxKeyLength)
    return store_.corrupt(header_offset_, "tag header with a bad key length");
  header_ = std::move(h);
  return {};
}

// ---- descent and walking ---------------------------------------------------------

template <class AtOrAfter>
Status Tag::descend(AtOrAfter at_or_after, Path* path, const Node** leaf, size_t* index) {
  uint32_t offset = header_.root;
  for (size_t depth = 0;; ++depth) {
    if (depth > kMaxDepth) return store_.corrupt(offset, "child pointers form a cycle");
    const Node* n;
    Status s = load(offset, &n);
    if (!s.ok()) return s;
    // Binary search for the first entry at or after the target.
    size_t lo = 0, hi = n->count();
    while (lo < hi) {
      size_t mid = (lo + hi) / 2;
      if (at_or_after(*n, mid)) hi = mid;
      else lo = mid + 1;
    }
    if (n->leaf()) {
      *leaf = n;
      *index = lo;
      return {};
    }
    if (n->count() == 0) return store_.corrupt(offset, "interior node without keys");
    if (lo == n->count()) lo = n->count() - 1;
    if (path) path->push_back({offset, lo});
    offset = n->children[lo];
  }
}

Status Tag::settle_forward(Cursor* c, const Node* node, size_t index) {
  const uint64_t max_steps = store_.size() / kPageSize + 1;
  bool have_prev = c->valid;
  std::string prev_key = c->key;
  uint32_t prev_recno = c->recno;
  for (uint64_t steps = 0; index >= node->count(); ++steps) {
    if (node->count() > 0) {
      have_prev = true;
      prev_key.assign(node->key(node->count() - 1), static_cast<size_t>(key_len()));
      prev_recno = node->recnos.back();
    }
    if (node->right == kNoPage) {
      c->valid = false;
      return {};
    }
    uint32_t from = node->offset;
    const Node* next;
    Status s = load(node->right, &next);
    if (!s.ok()) return s;
    if (steps > max_steps || !next->leaf() || next->left != from)
      return store_.corrupt(next->offset, "leaf sibling links disagree");
    if (have_prev && next->count() > 0 &&
        compare_entry(next->key(0), next->recnos[0], prev_key.data(), prev_recno, key_len()) <= 0)
      return store_.corrupt(next->offset, "keys out of order across leaves");
    node = next;
    index = 0;
  }
  c->valid = true;
  c->leaf = node->offset;
  c->index = index;
  c->key.assign(node->key(index), static_cast<size_t>(key_len()));
  c->recno = node->recnos[index];
  return {};
}

Status Tag::settle_backward(Cursor* c, const Node* node, size_t index) {
  // index is one past the wanted entry, so 0 means "in the page to the left".
  const uint64_t max_steps = store_.size() / kPageSize + 1;
  bool have_prev = c->valid;
  std::string prev_key = c->key;
  uint32_t prev_recno = c->recno;
  for (uint64_t steps = 0; index == 0; ++steps) {
    if (node->count() > 0) {
      have_prev = true;
      prev_key.assign(node->key(0), static_cast<size_t>(key_len()));
      prev_recno = node->recnos[0];
    }
    if (node->left == kNoPage) {
      c->valid = false;
      return {};
    }
    uint32_t from = node->offset;
    const Node* next;
    Status s = load(node->left, &next);
    if (!s.ok()) return s;
    if (steps > max_steps || !next->leaf() || next->right != from)
      return store_.corrupt(next->offset, "leaf sibling links disagree");
    if (have_prev && next->count() > 0 &&
        compare_entry(next->key(next->count() - 1), next->recnos.back(), prev_key.data(),
                      prev_recno, key_len()) >= 0)
      return store_.corrupt(next->offset, "keys out of order across leaves");
    node = next;
    index = node->count();
  }
  c->valid = true;
  c->leaf = node->offset;
  c->index = index - 1;
  c->key.assign(node->key(index - 1), static_cast<size_t>(key_len()));
  c->recno = node->recnos[index - 1];
  return {};
}

Status Tag::phys_first(Cursor* c) {
  const Node* leaf = nullptr;
  size_t index = 0;
  Status s = descend([](const Node&, size_t) { return true; }, nullptr, &leaf, &index);
  if (!s.ok()) return s;
  c->valid = false;
  return settle_forward(c, leaf, 0);
}

Status Tag::phys_last(Cursor* c) {
  const Node* leaf = nullptr;
  size_t index = 0;
  Status s = descend([](const Node&, size_t) { return false; }, nullptr, &leaf, &index);
  if (!s.ok()) return s;
  c->valid = false;
  return settle_backward(c, leaf, leaf->count());
}

Status Tag::phys_next(Cursor* c) {
  if (!c->valid) return {};
  const Node* n;
  Status s = load(c->leaf, &n);
  if (!s.ok()) return s;
  if (!n->leaf() || c->index >= n->count() || !entry_equals(*n, c->index, c->key.data(), c->recno)) {
    // The tree changed under the cursor: find its entry again. When the entry is
    // gone, the search already stands on what followed it.
    bool found;
    s = seek_entry(std::string(c->key), c->recno, c, &found);
    if (!s.ok() || !found) return s;
    if (!(s = load(c->leaf, &n)).ok()) return s;
  }
  return settle_forward(c, n, c->index + 1);
}

Status Tag::phys_prev(Cursor* c) {
  if (!c->valid) return {};
  const Node* n;
  Status s = load(c->leaf, &n);
  if (!s.ok()) return s;
  if (!n->leaf() || c->index >= n->count() || !entry_equals(*n, c->index, c->key.data(), c->recno)) {
    bool found;
    s = seek_entry(std::string(c->key), c->recno, c, &found);
    if (!s.ok()) return s;
    if (!c->valid) return phys_last(c);
    if (!(s = load(c->leaf, &n)).ok()) return s;
  }
  return settle_backward(c, n, c->index);
}

Status Tag::lower_bound(const std::string& key, size_t len, bool strict, Cursor* c) {
  const Node* leaf = nullptr;
  size_t index = 0;
  auto at_or_after = [&](const Node& n, size_t i) {
    int r = std::memcmp(n.key(i), key.data(), len);
    return strict ? r > 0 : r >= 0;
  };
  Status s = descend(at_or_after, nullptr, &leaf, &index);
  if (!s.ok()) return s;
  c->valid = false;
  return settle_forward(c, leaf, index);
}

Status Tag::first(Cursor* c) { return descending() ? phys_last(c) : phys_first(c); }
Status Tag::last(Cursor* c) { return descending() ? phys_first(c) : phys_last(c); }
Status Tag::next(Cursor* c) { return descending() ? phys_prev(c) : phys_next(c); }
Status Tag::prev(Cursor* c) { return descending() ? phys_next(c) : phys_prev(c); }

Status Tag::seek(std::string_view key, Cursor* c, bool* found) {
  std::string k(key.substr(0, static_cast<size_t>(key_len())));
  *found = false;
  Status s;
  if (!descending()) {
    s = lower_bound(k, k.size(), false, c);
  } else {
    // The first entry in descending order at or below the key: the one before
    // the first entry above it.
    s = lower_bound(k, k.size(), true, c);
    if (!s.ok()) return s;
    if (c->valid) {
      s = phys_prev(c);
    } else {
      s = phys_last(c);
    }
  }
  if (!s.ok()) return s;
  *found = c->valid && std::memcmp(c->key.data(), k.data(), k.size()) == 0;
  return s;
}

Status Tag::seek_entry(std::string_view key, uint32_t recno, Cursor* c, bool* found) {
  std::string k = pad(key);
  const Node* leaf = nullptr;
  size_t index = 0;
  auto at_or_after = [&](const Node& n, size_t i) {
    return compare_entry(n.key(i), n.recnos[i], k.data(), recno, key_len()) >= 0;
  };
  Status s = descend(at_or_after, nullptr, &leaf, &index);
  if (!s.ok()) return s;
  c->valid = false;
  s = settle_forward(c, leaf, index);
  *found = s.ok() && c->valid && c->recno == recno && c->key == k;
  return s;
}

// ---- changes -----------------------------------------------------------------------

bool Tag::fits(const Node& node) const {
  if (node.leaf()) return leaf_bytes(node, 0, node.count(), filler()) <= kLeafAreaSize;
  return node.count() <= interior_capacity(key_len());
}


Status Tag::insert(std::string_view key, uint32_t recno, bool* added) {
  if (added) *added = false;
  std::string k = pad(key);
  if (unique()) {
    Cursor c;
    Status s = lower_bound(k, k.size(), false, &c);
    if (!s.ok()) return s;
    if (c.valid && c.key == k) return {};
  }
  Path& path = path_;
  path.clear();
  const Node* leaf = nullptr;
  size_t index = 0;
  auto at_or_after = [&](const Node& n, size_t i) {
    return compare_entry(n.key(i), n.recnos[i], k.data(), recno, key_len()) >= 0;
  };
  Status s = descend(at_or_after, &path, &leaf, &index);
  if (!s.ok()) return s;
  if (index < leaf->count() && entry_equals(*leaf, index, k.data(), recno)) return {};
  bool done = false;
  if (!(s = insert_in_place(path, leaf->offset, index, k, recno, &done)).ok()) return s;
  if (!done) {
    Node node = *leaf;
    insert_entry(node, index, k.data(), recno, 0);
    if (!(s = fix(path, path.size(), std::move(node))).ok()) return s;
  }
  if (added) *added = true;
  return mark_update();
}

Status Tag::insert_in_place(Path& path, uint32_t leaf, size_t index, const std::string& key, uint32_t recno,
                            bool* done) {
  *done = false;
  PageStore::CachedPage* c = store_.cached(leaf);
  if (!c || !c->node.leaf() || c->node.key_len != key_len()) return {};
  Node& node = c->node;
  insert_entry(node, index, key.data(), recno, 0);
  if (!patch_leaf_insert(c->page, node, index, filler())) {
    erase_entry(node, index);
    return {};
  }
  node.stated_free = node.counted_free = get_le16(c->page + 12);
  *done = true;
  Status s = store_.write_cached(c);
  if (!s.ok() || index + 1 < node.count() || path.empty()) return s;
  return update_parent(path, path.size(), leaf, key.data(), recno);
}

Status Tag::remove(std::string_view key, uint32_t recno, bool* removed) {
  if (removed) *removed = false;
  std::string k = pad(key);
  Path& path = path_;
  path.clear();
  const Node* leaf = nullptr;
  size_t index = 0;
  auto at_or_after = [&](const Node& n, size_t i) {
    return compare_entry(n.key(i), n.recnos[i], k.data(), recno, key_len()) >= 0;
  };
  Status s = descend(at_or_after, &path, &leaf, &index);
  if (!s.ok()) return s;
  if (index >= leaf->count() || !entry_equals(*leaf, index, k.data(), recno)) return {};
  bool done = false;
  if (!(s = remove_in_place(path, leaf->offset, index, &done)).ok()) return s;
  if (!done) {
    Node node = *leaf;
    erase_entry(node, index);
    if (!(s = fix(path, path.size(), std::move(node))).ok()) return s;
  }
  if (removed) *removed = true;
  return mark_update();
}

Status Tag::remove_in_place(Path& path, uint32_t leaf, size_t index, bool* done) {
  *done = false;
  PageStore::CachedPage* c = store_.cached(leaf);
  if (!c || !c->node.leaf() || c->node.key_len != key_len() || c->node.count() < 2) return {};
  Node& node = c->node;
  const std::string gone(node.key(index), static_cast<size_t>(key_len()));
  const uint32_t gone_recno = node.recnos[index];
  erase_entry(node, index);
  uint8_t page[kPageSize];
  std::memcpy(page, c->page, kPageSize);
  // A page left thin goes the general way, which merges it with a neighbour.
  if (!patch_leaf_remove(page, node, index, filler()) ||
      (!path.empty() && kLeafAreaSize - get_le16(page + 12) < kLeafAreaSize / 4)) {
    insert_entry(node, index, gone.data(), gone_recno, 0);
    return {};
  }
  std::memcpy(c->page, page, kPageSize);
  node.stated_free = node.counted_free = get_le16(c->page + 12);
  *done = true;
  Status s = store_.write_cached(c);
  if (!s.ok() || index < node.count() || path.empty()) return s;
  const std::string last(node.key(node.count() - 1), static_cast<size_t>(key_len()));
  return update_parent(path, path.size(), leaf, last.data(), node.recnos.back());
}

// Writes back a node changed at the given depth, then repairs what that breaks
// above it: overflow splits, emptied pages leave the tree, thin pages merge with
// a neighbour, and the parent's entry follows the node's last key.
Status Tag::fix(Path& path, size_t depth, Node node) {
  if (depth > 0 && node.count() == 0) {
    Status s = unlink_and_release(node);
    if (!s.ok()) return s;
    Node parent;
    s = copy(path[depth - 1].offset, &parent);
    if (!s.ok()) return s;
    erase_entry(parent, path[depth - 1].index);
    return fix(path, depth - 1, std::move(parent));
  }
  // Packing the page answers both questions: does it fit, and how full is it.
  uint8_t page[kPageSize];
  bool over, thin;
  if (node.leaf()) {
    std::vector<const char*> keys(node.count());
    for (size_t k = 0; k < node.count(); ++k) keys[k] = node.key(k);
    over = !encode_leaf(node.attr, node.left, node.right, key_len(), filler(), keys.data(),
                        node.recnos.data(), node.count(), page);
    thin = !over && kLeafAreaSize - get_le16(page + 12) < kLeafAreaSize / 4;
  } else {
    over = !encode_interior(node, page);
    thin = node.count() < interior_capacity(key_len()) / 4;
  }
  if (over) return split(path, depth, std::move(node));
  if (depth > 0 && thin) {
    bool merged = false;
    Status s = try_merge(path, depth, node, &merged);
    if (!s.ok() || merged) return s;
  }
  if (depth == 0) {
    Status s = store(node);
    if (!s.ok()) return s;
    return settle_root(std::move(node));
  }
  const uint32_t offset = node.offset;
  const std::string last_key(node.key(node.count() - 1), static_cast<size_t>(key_len()));
  const uint32_t last_recno = node.recnos.back();
  Status s = store_.store_packed(std::move(node), page);
  if (!s.ok()) return s;
  return update_parent(path, depth, offset, last_key.data(), last_recno);
}

Status Tag::update_parent(Path& path, size_t depth, uint32_t offset, const char* last_key, uint32_t last_recno) {
  const Node* seen;
  Status s = load(path[depth - 1].offset, &seen);
  if (!s.ok()) return s;
  size_t i = path[depth - 1].index;
  if (i >= seen->count() || seen->leaf() || seen->children[i] != offset)
    return store_.corrupt(seen->offset, "parent entry does not lead to its child");
  // Most changes leave the last key where it was: the parent stays as it is.
  if (entry_equals(*seen, i, last_key, last_recno)) return {};
  Node parent = *seen;
  set_entry(parent, i, last_key, last_recno);
  return fix(path, depth - 1, std::move(parent));
}

Status Tag::split(Path& path, size_t depth, Node node) {
  const size_t n = node.count();
  size_t mid = n / 2;
  if (node.leaf()) {
    // Compression makes halves uneven; move the cut until both halves fit.
    bool ok = false;
    for (size_t delta = 0; delta < n && !ok; ++delta) {
      for (size_t cand : {n / 2 + delta, n / 2 - std::min(delta, n / 2)}) {
        if (cand == 0 || cand >= n) continue;
        if (leaf_bytes(node, 0, cand, filler()) <= kLeafAreaSize &&
            leaf_bytes(node, cand, n, filler()) <= kLeafAreaSize) {
          mid = cand;
          ok = true;
          break;
        }
      }
    }
    if (!ok) return Status::error(Status::Invalid, store_.path() + ": cannot split a leaf");
  }
  Node right;
  Status s = store_.allocate(&right.offset);
  if (!s.ok()) return s;
  node.attr = static_cast<uint16_t>(node.attr & ~kAttrRoot);
  right.attr = node.attr;
  right.key_len = node.key_len;
  take_tail(node, mid, right);
  right.left = node.offset;
  right.right = node.right;
  if (node.right != kNoPage) {
    Node sib;
    s = copy(node.right, &sib);
    if (!s.ok()) return s;
    sib.left = right.offset;
    s = store(sib);
    if (!s.ok()) return s;
  }
  node.right = right.offset;
  if (!(s = store(node)).ok() || !(s = store(right)).ok()) return s;

  if (depth == 0) {
    Node root;
    s = store_.allocate(&root.offset);
    if (!s.ok()) return s;
    root.attr = kAttrRoot;
    root.key_len = node.key_len;
    insert_entry(root, 0, node.key(node.count() - 1), node.recnos.back(), node.offset);
    insert_entry(root, 1, right.key(right.count() - 1), right.recnos.back(), right.offset);
    s = store(root);
    if (!s.ok()) return s;
    header_.root = root.offset;
    return write_header();
  }
  Node parent;
  s = copy(path[depth - 1].offset, &parent);
  if (!s.ok()) return s;
  size_t i = path[depth - 1].index;
  set_entry(parent, i, node.key(node.count() - 1), node.recnos.back());
  insert_entry(parent, i + 1, right.key(right.count() - 1), right.recnos.back(), right.offset);
  return fix(path, depth - 1, std::move(parent));
}

Status Tag::try_merge(Path& path, size_t depth, Node& node, bool* merged) {
  Node parent;
  Status s = copy(path[depth - 1].offset, &parent);
  if (!s.ok()) return s;
  const size_t i = path[depth - 1].index;
  if (i >= parent.count() || parent.children[i] != node.offset)
    return store_.corrupt(parent.offset, "parent entry does not lead to its child");
  // Merge into the left one of the pair so the survivor keeps its left link.
  for (int side : {+1, -1}) {
    if (side > 0 ? i + 1 >= parent.count() : i == 0) continue;
    size_t other_i = side > 0 ? i + 1 : i - 1;
    Node other;
    s = copy(parent.children[other_i], &other);
    if (!s.ok()) return s;
    if (other.leaf() != node.leaf()) return store_.corrupt(other.offset, "siblings of different kinds");
    Node combined = side > 0 ? node : other;
    const Node& tail = side > 0 ? other : node;
    append_all(combined, tail);
    combined.right = tail.right;
    if (!fits(combined)) continue;
    // Unlinking the right one of the pair rewires both neighbours for us.
    s = unlink_and_release(tail);
    if (!s.ok()) return s;
    s = store(combined);
    if (!s.ok()) return s;
    size_t keep_i = side > 0 ? i : i - 1;
    erase_entry(parent, keep_i + 1);
    set_entry(parent, keep_i, combined.key(combined.count() - 1), combined.recnos.back());
    *merged = true;
    return fix(path, depth - 1, std::move(parent));
  }
  return {};
}

Status Tag::unlink_and_release(const Node& node) {
  Status s;
  if (node.left != kNoPage) {
    Node l;
    if (!(s = copy(node.left, &l)).ok()) return s;
    l.right = node.right;
    if (!(s = store(l)).ok()) return s;
  }
  if (node.right != kNoPage) {
    Node r;
    if (!(s = copy(node.right, &r)).ok()) return s;
    r.left = node.left;
    if (!(s = store(r)).ok()) return s;
  }
  return store_.release(node.offset);
}

Status Tag::settle_root(Node node) {
  Status s;
  while (!node.leaf() && node.count() == 1) {
    Node child;
    if (!(s = copy(node.children[0], &child)).ok()) return s;
    child.attr = static_cast<uint16_t>(child.attr | kAttrRoot);
    child.left = child.right = kNoPage;
    if (!(s = store(child)).ok()) return s;
    if (!(s = store_.release(node.offset)).ok()) return s;
    header_.root = child.offset;
    if (!(s = write_header()).ok()) return s;
    node = std::move(child);
  }
  if (!node.leaf() && node.count() == 0) {
    node.attr = kAttrRoot | kAttrLeaf;
    return store(node);
  }
  return {};
}

// ---- verification --------------------------------------------------------------------

Status Tag::verify(VerifyReport* report) {
  VerifyReport r;
  std::vector<bool> seen(static_cast<size_t>(store_.size() / kPageSize) + 1, false);
  std::vector<std::vector<LevelLink>> levels;
  std::string last_key;
  uint32_t last_recno = 0;
  const Node* root;
  Status s = load(header_.root, &root);
  if (!s.ok()) return s;
  if (!root->root()) return store_.corrupt(header_.root, "root node without the root mark");
  s = verify_node(header_.root, 0, &seen, &levels, &r, &last_key, &last_recno);
  if (!s.ok()) return s;
  for (auto& level : levels) {
    for (size_t i = 0; i < level.size(); ++i) {
      uint32_t want_left = i == 0 ? kNoPage : level[i - 1].offset;
      uint32_t want_right = i + 1 == level.size() ? kNoPage : level[i + 1].offset;
      if (level[i].left != want_left || level[i].right != want_right)
        return store_.corrupt(level[i].offset, "sibling links disagree with the tree");
    }
  }
  if (report) *report = r;
  return {};
}

Status Tag::verify_node(uint32_t offset, size_t depth, std::vector<bool>* seen,
                        std::vector<std::vector<LevelLink>>* levels, VerifyReport* report,
                        std::string* last_key, uint32_t* last_recno) {
  if (depth > kMaxDepth) return store_.corrupt(offset, "child pointers form a cycle");
  const size_t page = offset / kPageSize;
  if (offset % kPageSize == 0 && page < seen->size()) {
    if ((*seen)[page]) return store_.corrupt(offset, "page reached twice");
    (*seen)[page] = true;
  }
  const Node* loaded;
  Status s = load(offset, &loaded);
  if (!s.ok()) return s;
  const Node n = *loaded;  // a copy: storing nodes elsewhere would replace the cached one
  ++report->pages;
  if (depth > 0 && n.root()) return store_.corrupt(offset, "root mark below the root");
  if (depth > 0 && n.count() == 0) return store_.corrupt(offset, "empty node below the root");
  if (levels->size() <= depth) levels->resize(depth + 1);
  (*levels)[depth].push_back({offset, n.left, n.right});
  for (size_t i = 1; i < n.count(); ++i)
    if (compare_entry(n.key(i - 1), n.recnos[i - 1], n.key(i), n.recnos[i], key_len()) >= 0)
      return store_.corrupt(offset, "keys out of order");
  if (n.leaf()) {
    if (n.stated_free != n.counted_free) return store_.corrupt(offset, "free-space count wrong");
    if (report->depth == 0) report->depth = static_cast<int>(depth) + 1;
    if (report->depth != static_cast<int>(depth) + 1)
      return store_.corrupt(offset, "leaves at different depths");
    for (size_t i = 0; i < n.count(); ++i) {
      bool have_prev = report->keys > 0;
      if (have_prev) {
        int c = compare_entry(last_key->data(), *last_recno, n.key(i), n.recnos[i], key_len());
        if (c >= 0) return store_.corrupt(offset, "keys out of order across leaves");
        if (unique() && std::memcmp(last_key->data(), n.key(i), static_cast<size_t>(key_len())) == 0)
          return store_.corrupt(offset, "repeated key in a unique tag");
      }
      last_key->assign(n.key(i), static_cast<size_t>(key_len()));
      *last_recno = n.recnos[i];
      ++report->keys;
    }
    return {};
  }
  for (size_t i = 0; i < n.count(); ++i) {
    s = verify_node(n.children[i], depth + 1, seen, levels, report, last_key, last_recno);
    if (!s.ok()) return s;
    if (*last_recno != n.recnos[i] ||
        std::memcmp(last_key->data(), n.key(i), static_cast<size_t>(key_len())) != 0)
      return store_.corrupt(offset, "parent key differs from the last key of its child");
  }
  return {};
}

Status Tag::collect_pages(std::vector<uint32_t>* pages) {
  std::vector<uint32_t> todo{header_.root};
  std::vector<bool> seen(static_cast<size_t>(store_.size() / kPageSize) + 1, false);
  while (!todo.empty()) {
    uint32_t off = todo.back();
    todo.pop_back();
    const Node* n;
    Status s = load(off, &n);
    if (!s.ok()) return s;
    if (seen[off / kPageSize]) return store_.corrupt(off, "page reached twice");
    seen[off / kPageSize] = true;
    pages->push_back(off);
    if (!n->leaf()) todo.insert(todo.end(), n->children.begin(), n->children.end());
  }
  return {};
}

}  // namespace ace::cdx
