#include "tag_check.h"

#include <cstdio>
#include <map>
#include <vector>

namespace dbfcheck {

namespace dbf = ace::dbf;
namespace cdx = ace::cdx;

namespace {

// Past this many problems in one tag the rest are only counted: a tag that is
// wrong throughout says so in its first lines.
constexpr int kShownPerTag = 25;

// A key as readable text: printable bytes as they are, the rest in hex.
std::string show_key(const std::string& key, cdx::KeyKind kind) {
  static const char d[] = "0123456789ABCDEF";
  std::string out;
  if (kind == cdx::KeyKind::Character) {
    out = "\"";
    for (char c : key) {
      const auto b = static_cast<unsigned char>(c);
      if (b >= 0x20 && b < 0x7F && c != '\\') out.push_back(c);
      else { out += "\\x"; out.push_back(d[b >> 4]); out.push_back(d[b & 0xF]); }
    }
    return out + "\"";
  }
  for (char c : key) {
    const auto b = static_cast<unsigned char>(c);
    out.push_back(d[b >> 4]);
    out.push_back(d[b & 0xF]);
  }
  return out;
}

std::string page_name(uint32_t offset) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%X", offset);
  return buf;
}

// Index messages name their file; the problem line names it already.
std::string without_file(const std::string& message, const std::string& file) {
  const std::string prefix = file + ": ";
  return message.compare(0, prefix.size(), prefix) == 0 ? message.substr(prefix.size()) : message;
}

class TagProblems {
 public:
  TagProblems(ProblemList* list, std::string where) : list_(list), where_(std::move(where)) {}
  ~TagProblems() {
    if (hidden_) list_->add(where_, std::to_string(hidden_) + " more problem(s) of this tag not shown");
  }
  void add(const std::string& what) {
    if (shown_ < kShownPerTag) {
      list_->add(where_, what);
      ++shown_;
    } else {
      ++hidden_;
    }
  }

 private:
  ProblemList* list_;
  std::string where_;
  int shown_ = 0;
  int hidden_ = 0;
};

struct Expected {
  std::string key;
  bool in = false;    // the FOR condition admits the record
  int entries = 0;    // times the tag names it
};

// False when the tag's pages are damaged.
bool check_tag(const Table& table, cdx::Tag& tag, uint32_t count, ProblemList* list, const std::string& bag) {
  TagProblems p(list, bag + ": tag " + tag.name());
  std::unique_ptr<TagKeys> keys;
  ace::Status s = TagKeys::compile(table, tag.key_expr(), tag.for_expr(), &keys);
  if (!s.ok()) {
    p.add(s.text);
    return true;
  }
  tag.set_kind(keys->kind());
  if (keys->key_len() != tag.key_len())
    p.add("key length " + std::to_string(tag.key_len()) + ", but the key expression gives " +
          std::to_string(keys->key_len()) + " bytes");

  cdx::Status cs = tag.verify();
  if (!cs.ok()) {
    // Entries read from a damaged page prove nothing about the records.
    p.add(without_file(cs.message, bag));
    return false;
  }

  // What each record should contribute.
  std::vector<Expected> expected(count + 1);
  std::string rec;
  for (uint32_t r = 1; r <= count; ++r) {
    if (!table.read_record(r, &rec).ok()) continue;  // told by the record check
    s = keys->evaluate(table, r, rec, &expected[r].key, &expected[r].in);
    if (!s.ok()) {
      p.add("record " + std::to_string(r) + ": " + s.text);
      expected[r].in = false;
      continue;
    }
    expected[r].key.resize(static_cast<size_t>(tag.key_len()), tag.filler());
  }

  // What the tag holds, in its order.
  std::map<std::string, int> unique_keys;
  std::string previous;
  bool first = true;
  cdx::Cursor c;
  for (cs = tag.first(&c); cs.ok() && c.valid; cs = tag.next(&c)) {
    const std::string where = "page " + page_name(c.leaf) + ", entry for record " + std::to_string(c.recno);
    if (!first && (tag.descending() ? c.key > previous : c.key < previous))
      p.add(where + ": key " + show_key(c.key, tag.kind()) + " is out of order after " + show_key(previous, tag.kind()));
    previous = c.key;
    first = false;
    if (tag.unique() && ++unique_keys[c.key] == 2)
      p.add(where + ": key " + show_key(c.key, tag.kind()) + " appears more than once in a unique tag");
    if (c.recno == 0 || c.recno > count) {
      p.add(where + ": the table has no such record (it has " + std::to_string(count) + ")");
      continue;
    }
    Expected& e = expected[c.recno];
    if (++e.entries == 2) p.add(where + ": the record appears more than once");
    if (!e.in && !e.key.empty()) {
      p.add(where + ": the FOR condition leaves this record out");
    } else if (!e.key.empty() && c.key != e.key) {
      p.add(where + ": key " + show_key(c.key, tag.kind()) + ", but the expression gives " +
            show_key(e.key, tag.kind()));
    }
  }
  if (!cs.ok()) {
    p.add(without_file(cs.message, bag));
    return false;  // the walk stopped early, so absent records prove nothing
  }
  for (uint32_t r = 1; r <= count; ++r) {
    const Expected& e = expected[r];
    if (!e.in || e.entries) continue;
    // A unique tag holds one record per key; the others are rightly absent.
    if (tag.unique() && unique_keys.count(e.key)) continue;
    p.add("record " + std::to_string(r) + " is missing (key " + show_key(e.key, tag.kind()) + ")");
  }
  return true;
}

}  // namespace

void check_structural_bag(const Table& table, uint32_t count, ProblemList* problems) {
  const dbf::TableHeader& h = table.header();
  const uint8_t v = h.version;
  const bool fox_family = v != dbf::kDbase4Memo && v != dbf::kDbase4Sql && v != dbf::kDbase4SqlMemo;
  const bool flagged = fox_family && (h.flags & dbf::kHasStructuralCdx);
  const std::string path = bag_path(table.path());
  if (!file_exists(path)) {
    if (flagged) problems->add(table.path(), "the header announces a structural index, but " + path + " is missing");
    return;
  }
  if (!fox_family) return;
  if (!flagged) problems->note(table.path(), path + " lies beside the table, but the header does not announce it");
  std::unique_ptr<cdx::Bag> bag;
  ace::Status s = open_bag(path, &bag);
  if (!s.ok()) {
    problems->add(path, s.text);
    return;
  }
  bool sound = true;
  for (const auto& tag : bag->tags()) sound = check_tag(table, *tag, count, problems, path) && sound;
  // The directory and the free-page list; the tags' own damage is told above.
  if (sound) {
    cdx::Status cs = bag->verify();
    if (!cs.ok()) problems->add(path, without_file(cs.message, path));
  }
}

}  // namespace dbfcheck
