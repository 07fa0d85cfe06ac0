#include "bag.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "byte_order.h"
#include "interior_page.h"
#include "key_sort.h"
#include "leaf_page.h"
#include "tag_header.h"

namespace ace::cdx {

namespace {

constexpr uint32_t kDirectoryRoot = 1024;

std::string upper(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

std::string directory_key(std::string_view name) {
  std::string k = upper(name);
  k.resize(kTagNameLength, ' ');
  return k;
}

std::string name_of_key(const std::string& key) {
  size_t end = key.size();
  while (end > 0 && (key[end - 1] == ' ' || key[end - 1] == '\0')) --end;
  return key.substr(0, end);
}

}  // namespace

Status Bag::open(std::unique_ptr<io::File> file, std::unique_ptr<Bag>* out) {
  std::unique_ptr<Bag> bag(new Bag(std::move(file)));
  Status s = bag->store_.load_header_fields();
  if (!s.ok()) return s;
  if (bag->store_.size() < kTagHeaderSize + kPageSize)
    return Status::error(Status::Corrupt, bag->path() + ": index file too short");
  s = bag->load_tags();
  if (!s.ok()) return s;
  *out = std::move(bag);
  return {};
}

Status Bag::load_tags() {
  uint8_t bytes[kTagHeaderSize];
  Status s = store_.read(0, bytes, sizeof bytes);
  if (!s.ok()) return s;
  TagHeader dh = decode_tag_header(bytes);
  if (dh.key_len < 1 || dh.key_len > kMaxKeyLength)
    return store_.corrupt(0, "file header with a bad key length");
  structural_ = (dh.options & kOptStructural) != 0;
  directory_ = std::make_unique<Tag>(store_, std::string(), 0, dh, KeyKind::Character);
  std::vector<std::unique_ptr<Tag>> tags;
  Cursor c;
  for (s = directory_->first(&c); s.ok() && c.valid; s = directory_->next(&c)) {
    uint32_t at = c.recno;
    if (at % kPageSize != 0 || at < kTagHeaderSize || at + kTagHeaderSize > store_.size())
      return store_.corrupt(at, "tag header outside the file");
    s = store_.read(at, bytes, sizeof bytes);
    if (!s.ok()) return s;
    TagHeader h = decode_tag_header(bytes);
    if (h.key_len < 1 || h.key_len > kMaxKeyLength)
      return store_.corrupt(at, "tag header with a bad key length");
    std::string name = name_of_key(c.key);
    // A tag we hold already stays the same object, so callers' pointers survive.
    auto same = std::find_if(tags_.begin(), tags_.end(), [&](const std::unique_ptr<Tag>& t) {
      return t && t->name() == name && t->header_offset() == at;
    });
    if (same != tags_.end()) {
      if (!(s = (*same)->reload_header()).ok()) return s;
      tags.push_back(std::move(*same));
    } else {
      tags.push_back(std::make_unique<Tag>(store_, name, at, std::move(h), KeyKind::Character));
    }
  }
  if (!s.ok()) return s;
  tags_ = std::move(tags);
  return {};
}

Status Bag::create(std::unique_ptr<io::File> file, bool structural, std::unique_ptr<Bag>* out) {
  std::unique_ptr<Bag> bag(new Bag(std::move(file)));
  if (!bag->store_.file().truncate(0).ok()) return bag->store_.io_error("truncate");
  TagHeader h;
  h.root = kDirectoryRoot;
  h.key_len = kTagNameLength;
  h.options = static_cast<uint8_t>(kOptCompact | kOptCompound | (structural ? kOptStructural : 0));
  uint8_t bytes[kTagHeaderSize];
  encode_tag_header(h, bytes);
  Status s = bag->store_.write(0, bytes, sizeof bytes);
  if (!s.ok()) return s;
  uint8_t page[kPageSize];
  encode_leaf(kAttrRoot | kAttrLeaf, kNoPage, kNoPage, kTagNameLength, ' ', nullptr, nullptr, 0,
              page);
  if (!(s = bag->store_.write(kDirectoryRoot, page, sizeof page)).ok()) return s;
  if (!(s = bag->store_.load_header_fields()).ok()) return s;
  if (!(s = bag->load_tags()).ok()) return s;
  *out = std::move(bag);
  return {};
}

Tag* Bag::find(std::string_view name) const {
  std::string n = upper(name);
  for (auto& t : tags_)
    if (t->name() == n) return t.get();
  return nullptr;
}

Status Bag::create_tag(const TagSpec& spec, const KeySet& keys, Tag** out) {
  std::string name = upper(spec.name);
  if (name.empty() || name.size() > static_cast<size_t>(kTagNameLength) ||
      name.find(' ') != std::string::npos)
    return Status::error(Status::Invalid, path() + ": bad tag name \"" + spec.name + "\"");
  if (spec.key_len < 1 || spec.key_len > kMaxKeyLength)
    return Status::error(Status::Invalid, path() + ": key length out of range for tag " + name);
  if (spec.key_expr.size() + spec.for_expr.size() + 2 > 512)
    return Status::error(Status::Invalid, path() + ": expressions too long for tag " + name);
  if (keys.bytes.size() != keys.count() * static_cast<size_t>(spec.key_len))
    return Status::error(Status::Invalid, path() + ": keys do not match the key length");
  Status s;
  if (find(name) && !(s = drop_tag(name)).ok()) return s;
  uint32_t header_offset;
  if (!(s = write_tree(spec, keys, &header_offset)).ok()) return s;
  bool added;
  if (!(s = directory_->insert(directory_key(name), header_offset, &added)).ok()) return s;
  uint8_t bytes[kTagHeaderSize];
  if (!(s = store_.read(header_offset, bytes, sizeof bytes)).ok()) return s;
  auto tag = std::make_unique<Tag>(store_, name, header_offset, decode_tag_header(bytes), spec.kind);
  auto pos = std::lower_bound(tags_.begin(), tags_.end(), name,
                              [](const std::unique_ptr<Tag>& t, const std::string& n) {
                                return t->name() < n;
                              });
  Tag* raw = tag.get();
  tags_.insert(pos, std::move(tag));
  if (out) *out = raw;
  return {};
}

// Lays the whole tree out at the end of the file: the tag header, the leaves
// left to right, then each interior level up to the root, in one write.
Status Bag::write_tree(const TagSpec& spec, const KeySet& keys, uint32_t* header_offset) {
  const int kl = spec.key_len;
  const size_t kls = static_cast<size_t>(kl);
  const char filler = spec.kind == KeyKind::Character ? ' ' : '\0';
  std::vector<uint32_t> order = sort_key_order(keys.bytes.data(), keys.recnos.data(),
                                               keys.count(), kl);
  // Gather the keys in order once, so the passes below read memory in sequence.
  std::string sorted(order.size() * kls, '\0');
  std::vector<const char*> kp;
  std::vector<uint32_t> rp;
  kp.reserve(order.size());
  rp.reserve(order.size());
  char* dst = sorted.data();
  for (size_t j = 0; j < order.size(); ++j) {
    if (j + 16 < order.size()) __builtin_prefetch(keys.bytes.data() + order[j + 16] * kls);
    const char* k = keys.bytes.data() + order[j] * kls;
    if (spec.unique && !kp.empty() && std::memcmp(kp.back(), k, kls) == 0) continue;
    std::memcpy(dst, k, kls);
    kp.push_back(dst);
    rp.push_back(keys.recnos[order[j]]);
    dst += kls;
  }
  const size_t n = kp.size();

  // Leaf boundaries: fill each leaf as far as its compressed entries go.
  std::vector<size_t> starts{0};
  {
    size_t in_leaf = 0, stored = 0;
    uint32_t max_rec = 0;
    for (size_t i = 0; i < n; ++i) {
      int t = leaf_trailing(kp[i], kl, filler);
      int d = in_leaf == 0 ? 0 : leaf_shared(kp[i - 1], kp[i], kl, t);
      size_t fresh = static_cast<size_t>(kl - t - d);
      uint32_t m = std::max(max_rec, rp[i]);
      size_t need = (in_leaf + 1) * static_cast<size_t>(leaf_entry_bytes(kl, m)) + stored + fresh;
      if (in_leaf > 0 && need > kLeafAreaSize) {
        starts.push_back(i);
        in_leaf = 0;
        stored = 0;
        max_rec = 0;
        --i;  // place the key again as the first of the new leaf
        continue;
      }
      ++in_leaf;
      stored += fresh;
      max_rec = m;
    }
  }
  const size_t leaves = starts.size();
  const size_t cap = interior_capacity(kl);
  std::vector<size_t> level_sizes;  // interior levels, bottom up
  for (size_t m = leaves; m > 1;) {
    m = (m + cap - 1) / cap;
    level_sizes.push_back(m);
  }
  size_t pages = 2 + leaves;
  for (size_t m : level_sizes) pages += m;
  uint32_t base;
  Status s = store_.allocate_run(pages, &base);
  if (!s.ok()) return s;
  std::vector<uint8_t> buf(pages * kPageSize, 0);

  // Leaves.
  struct Child {
    const char* key;
    uint32_t recno;
    uint32_t offset;
  };
  std::vector<Child> level;
  const uint32_t first_leaf = base + static_cast<uint32_t>(kTagHeaderSize);
  for (size_t l = 0; l < leaves; ++l) {
    size_t from = starts[l], to = l + 1 < leaves ? starts[l + 1] : n;
    uint32_t off = first_leaf + static_cast<uint32_t>(l * kPageSize);
    uint16_t attr = static_cast<uint16_t>(kAttrLeaf | (leaves == 1 ? kAttrRoot : 0));
    uint32_t left = l == 0 ? kNoPage : off - static_cast<uint32_t>(kPageSize);
    uint32_t right = l + 1 == leaves ? kNoPage : off + static_cast<uint32_t>(kPageSize);
    encode_leaf(attr, left, right, kl, filler, kp.data() + from, rp.data() + from, to - from,
                buf.data() + (off - base));
    if (to > from) level.push_back({kp[to - 1], rp[to - 1], off});
  }
  uint32_t root = first_leaf;

  // Interior levels, children shared out evenly among the nodes of a level.
  uint32_t next_off = first_leaf + static_cast<uint32_t>(leaves * kPageSize);
  for (size_t li = 0; li < level_sizes.size(); ++li) {
    const size_t m = level_sizes[li];
    const bool top = li + 1 == level_sizes.size();
    std::vector<Child> up;
    size_t from = 0;
    for (size_t j = 0; j < m; ++j) {
      size_t take = level.size() / m + (j < level.size() % m ? 1 : 0);
      Node node;
      node.offset = next_off + static_cast<uint32_t>(j * kPageSize);
      node.attr = top ? kAttrRoot : 0;
      node.left = j == 0 ? kNoPage : node.offset - static_cast<uint32_t>(kPageSize);
      node.right = j + 1 == m ? kNoPage : node.offset + static_cast<uint32_t>(kPageSize);
      node.key_len = kl;
      node.keys.reserve(take * kls);
      for (size_t c = from; c < from + take; ++c) {
        node.keys.append(level[c].key, kls);
        node.recnos.push_back(level[c].recno);
        node.children.push_back(level[c].offset);
      }
      encode_interior(node, buf.data() + (node.offset - base));
      up.push_back({level[from + take - 1].key, level[from + take - 1].recno, node.offset});
      from += take;
    }
    root = next_off;
    next_off += static_cast<uint32_t>(m * kPageSize);
    level = std::move(up);
  }

  TagHeader h;
  h.root = root;
  h.key_len = static_cast<uint16_t>(kl);
  h.options = static_cast<uint8_t>(kOptCompact | kOptCompound | (spec.unique ? kOptUnique : 0));
  h.descending = spec.descending;
  h.key_expr = spec.key_expr;
  h.for_expr = spec.for_expr;
  encode_tag_header(h, buf.data());
  if (!(s = store_.write(base, buf.data(), buf.size())).ok()) return s;
  *header_offset = base;
  return store_.bump_version();
}

Status Bag::drop_tag(std::string_view name) {
  std::string n = upper(name);
  auto it = std::find_if(tags_.begin(), tags_.end(),
                         [&](const std::unique_ptr<Tag>& t) { return t->name() == n; });
  if (it == tags_.end()) return Status::error(Status::NotFound, path() + ": no tag " + n);
  Tag& tag = **it;
  std::vector<uint32_t> pages;
  Status s = tag.collect_pages(&pages);
  if (!s.ok()) return s;
  bool removed;
  if (!(s = directory_->remove(directory_key(n), tag.header_offset(), &removed)).ok()) return s;
  pages.push_back(tag.header_offset());
  pages.push_back(tag.header_offset() + static_cast<uint32_t>(kPageSize));
  for (uint32_t p : pages)
    if (!(s = store_.release(p)).ok()) return s;
  tags_.erase(it);
  return {};
}

Status Bag::verify() {
  VerifyReport r;
  Status s = directory_->verify(&r);
  if (!s.ok()) return s;
  if (r.keys != tags_.size())
    return Status::error(Status::Corrupt, path() + ": tag directory count differs");
  for (auto& t : tags_)
    if (!(s = t->verify()).ok()) return s;
  return verify_free_list();
}

// The free list must end, stay inside the file and share no page with a tree.
Status Bag::verify_free_list() {
  std::vector<uint32_t> used{0, static_cast<uint32_t>(kPageSize)};
  Status s = directory_->collect_pages(&used);
  if (!s.ok()) return s;
  for (auto& t : tags_) {
    used.push_back(t->header_offset());
    used.push_back(t->header_offset() + static_cast<uint32_t>(kPageSize));
    if (!(s = t->collect_pages(&used)).ok()) return s;
  }
  std::vector<bool> taken(static_cast<size_t>(store_.size() / kPageSize) + 1, false);
  for (uint32_t p : used) taken[p / kPageSize] = true;
  uint8_t head[8];
  if (!(s = store_.read(0, head, sizeof head)).ok()) return s;
  uint32_t at = get_le32(head + 4);
  while (at != 0 && at != kNoPage) {
    if (at % kPageSize != 0 || at < kTagHeaderSize || at + kPageSize > store_.size())
      return store_.corrupt(at, "free-page list leaves the file");
    if (taken[at / kPageSize]) return store_.corrupt(at, "free page in use, or a cycle in the free list");
    taken[at / kPageSize] = true;
    uint8_t next[4];
    if (!(s = store_.read(at, next, sizeof next)).ok()) return s;
    at = get_le32(next);
  }
  return {};
}

Status Bag::refresh() {
  uint32_t before = store_.version();
  Status s = store_.refresh();
  if (!s.ok() || store_.version() == before) return s;
  return load_tags();
}

}  // namespace ace::cdx
