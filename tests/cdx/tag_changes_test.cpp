// Tags we build and change, checked against a model of what they must hold.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "cdx/bag.h"
#include "dbf_rows.h"
#include "mem_file.h"

using namespace ace::cdx;
using namespace cdxtest;

namespace {

using Entry = std::pair<std::string, uint32_t>;

std::unique_ptr<Bag> new_bag(MemFile** raw = nullptr) {
  auto file = mem_file("test.cdx");
  if (raw) *raw = file.get();
  std::unique_ptr<Bag> bag;
  EXPECT_TRUE(Bag::create(std::move(file), true, &bag).ok());
  return bag;
}

Tag* make_tag(Bag& bag, const char* name, int key_len, KeyKind kind, bool unique = false,
              bool descending = false, const KeySet& keys = {}, const char* for_expr = "") {
  TagSpec spec;
  spec.name = name;
  spec.key_expr = "KEYEXPR";
  spec.for_expr = for_expr;
  spec.key_len = key_len;
  spec.kind = kind;
  spec.unique = unique;
  spec.descending = descending;
  Tag* tag = nullptr;
  Status s = bag.create_tag(spec, keys, &tag);
  EXPECT_TRUE(s.ok()) << s.message;
  return tag;
}

std::vector<Entry> walk(Tag& tag) {
  std::vector<Entry> out;
  Cursor c;
  Status s;
  for (s = tag.first(&c); s.ok() && c.valid; s = tag.next(&c)) out.emplace_back(c.key, c.recno);
  EXPECT_TRUE(s.ok()) << s.message;
  return out;
}

std::vector<Entry> walk_back(Tag& tag) {
  std::vector<Entry> out;
  Cursor c;
  Status s;
  for (s = tag.last(&c); s.ok() && c.valid; s = tag.prev(&c)) out.emplace_back(c.key, c.recno);
  EXPECT_TRUE(s.ok()) << s.message;
  return out;
}

std::string random_key(std::mt19937& rng, int key_len, KeyKind kind) {
  if (kind == KeyKind::Binary) return double_key(static_cast<double>(rng() % 5000) - 2500.0);
  // Few distinct prefixes and lengths, so keys share bytes and end in blanks.
  static const char* stems[] = {"SMITH", "SMYTHE", "JONES", "JONESBURY", "", "A", "ZZ"};
  std::string k = stems[rng() % 7];
  int extra = static_cast<int>(rng() % 6);
  for (int i = 0; i < extra; ++i) k += static_cast<char>('A' + rng() % 26);
  k.resize(static_cast<size_t>(key_len), ' ');
  return k;
}

struct Shape {
  const char* name;
  int key_len;
  KeyKind kind;
};

class RandomChanges : public ::testing::TestWithParam<Shape> {};

// Inserts and removals in batches; after each batch the tag verifies and walks
// both ways to exactly the model's entries.
TEST_P(RandomChanges, MatchModelAndVerify) {
  const Shape shape = GetParam();
  auto bag = new_bag();
  Tag* tag = make_tag(*bag, "T", shape.key_len, shape.kind);
  std::set<Entry> model;
  std::mt19937 rng(1234);
  uint32_t next_rec = 1;
  int deepest = 0;
  for (int batch = 0; batch < 30; ++batch) {
    bool growing = batch < 18;
    for (int i = 0; i < 300; ++i) {
      if (model.empty() || rng() % 100 < (growing ? 75u : 20u)) {
        Entry e{random_key(rng, shape.key_len, shape.kind), next_rec++};
        bool added;
        ASSERT_TRUE(tag->insert(e.first, e.second, &added).ok());
        EXPECT_TRUE(added);
        model.insert(e);
      } else {
        auto it = model.begin();
        std::advance(it, static_cast<long>(rng() % model.size()));
        bool removed;
        Status s = tag->remove(it->first, it->second, &removed);
        ASSERT_TRUE(s.ok()) << s.message;
        EXPECT_TRUE(removed);
        model.erase(it);
      }
    }
    VerifyReport r;
    Status s = tag->verify(&r);
    ASSERT_TRUE(s.ok()) << "batch " << batch << ": " << s.message;
    ASSERT_EQ(r.keys, model.size());
    deepest = std::max(deepest, r.depth);
    std::vector<Entry> expected(model.begin(), model.end());
    ASSERT_EQ(walk(*tag), expected) << "batch " << batch;
    std::vector<Entry> back = walk_back(*tag);
    std::reverse(back.begin(), back.end());
    ASSERT_EQ(back, expected);
  }
  EXPECT_GE(deepest, 3);  // splits and merges reached interior levels
  // Empty it completely: the root must become an empty leaf again.
  for (const Entry& e : model) ASSERT_TRUE(tag->remove(e.first, e.second).ok());
  VerifyReport r;
  ASSERT_TRUE(tag->verify(&r).ok());
  EXPECT_EQ(r.keys, 0u);
  EXPECT_EQ(r.depth, 1);
  EXPECT_TRUE(walk(*tag).empty());
}

INSTANTIATE_TEST_SUITE_P(Shapes, RandomChanges,
                         ::testing::Values(Shape{"Numeric", 8, KeyKind::Binary},
                                           Shape{"ShortText", 12, KeyKind::Character},
                                           Shape{"LongText", 120, KeyKind::Character}),
                         [](const ::testing::TestParamInfo<Shape>& p) { return p.param.name; });

KeySet key_set(const std::vector<Entry>& entries, int key_len) {
  KeySet ks;
  for (auto& [k, r] : entries) {
    std::string padded = k;
    padded.resize(static_cast<size_t>(key_len), ' ');
    ks.bytes += padded;
    ks.recnos.push_back(r);
  }
  return ks;
}

// A bulk build and the same keys inserted one by one walk alike; the built tree
// survives reopening the bag and takes further changes.
TEST(BulkBuild, EqualsInsertsAndReopens) {
  MemFile* raw;
  auto bag = new_bag(&raw);
  std::mt19937 rng(7);
  std::vector<Entry> entries;
  for (uint32_t r = 1; r <= 20000; ++r) entries.emplace_back(random_key(rng, 20, KeyKind::Character), r);
  std::shuffle(entries.begin(), entries.end(), rng);  // not in record order
  Tag* built = make_tag(*bag, "BUILT", 20, KeyKind::Character, false, false, key_set(entries, 20));
  Tag* grown = make_tag(*bag, "GROWN", 20, KeyKind::Character);
  for (auto& [k, r] : entries) ASSERT_TRUE(grown->insert(k, r).ok());
  std::vector<Entry> a = walk(*built);
  EXPECT_EQ(a, walk(*grown));
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(a, entries);
  VerifyReport report;
  ASSERT_TRUE(built->verify(&report).ok());
  EXPECT_GE(report.depth, 2);

  std::unique_ptr<Bag> again;
  ASSERT_TRUE(Bag::open(mem_file("test.cdx", raw->bytes()), &again).ok());
  ASSERT_TRUE(again->verify().ok());
  Tag* t = again->find("built");
  ASSERT_NE(t, nullptr);
  EXPECT_EQ(walk(*t), entries);
  ASSERT_TRUE(t->insert("AAAA", 99999).ok());
  ASSERT_TRUE(t->remove(entries[5].first, entries[5].second).ok());
  EXPECT_TRUE(again->verify().ok());
}

TEST(BulkBuild, EmptyAndSingleKey) {
  auto bag = new_bag();
  Tag* empty = make_tag(*bag, "EMPTY", 8, KeyKind::Binary);
  EXPECT_TRUE(walk(*empty).empty());
  Cursor c;
  bool found = true;
  ASSERT_TRUE(empty->seek(double_key(1), &c, &found).ok());
  EXPECT_FALSE(found);
  EXPECT_FALSE(c.valid);
  Tag* one = make_tag(*bag, "ONE", 8, KeyKind::Binary, false, false, key_set({{double_key(0), 3}}, 8));
  EXPECT_EQ(walk(*one), (std::vector<Entry>{{double_key(0), 3}}));
  EXPECT_TRUE(bag->verify().ok());
}

// A unique tag keeps the first record of each key, built or inserted.
TEST(UniqueTag, KeepsFirstRecordPerKey) {
  auto bag = new_bag();
  std::vector<Entry> entries = {{"B", 4}, {"A", 3}, {"B", 2}, {"A", 5}, {"C", 1}};
  Tag* tag = make_tag(*bag, "U", 4, KeyKind::Character, true, false, key_set(entries, 4));
  EXPECT_TRUE(tag->unique());
  EXPECT_EQ(walk(*tag), (std::vector<Entry>{{"A   ", 3}, {"B   ", 2}, {"C   ", 1}}));
  bool added = true;
  ASSERT_TRUE(tag->insert("B", 1, &added).ok());
  EXPECT_FALSE(added);
  ASSERT_TRUE(tag->insert("D", 9, &added).ok());
  EXPECT_TRUE(added);
  EXPECT_TRUE(tag->verify().ok());
}

// Descending tags walk from the highest key; a soft seek lands on the next key
// in that order (the highest below the one sought).
TEST(DescendingTag, WalksAndSeeksInReverse) {
  auto bag = new_bag();
  std::vector<Entry> entries = {{"APPLE", 1}, {"BANANA", 2}, {"CHERRY", 3}, {"BANANA", 4}};
  Tag* tag = make_tag(*bag, "D", 8, KeyKind::Character, false, true, key_set(entries, 8));
  EXPECT_TRUE(tag->descending());
  EXPECT_EQ(walk(*tag), (std::vector<Entry>{{"CHERRY  ", 3}, {"BANANA  ", 4}, {"BANANA  ", 2}, {"APPLE   ", 1}}));
  struct {
    const char* key;
    bool found;
    uint32_t recno;  // 0: past the end
  } seeks[] = {{"BANANA", true, 4}, {"BA", true, 4}, {"BZ", false, 4}, {"B", true, 4},
               {"AAA", false, 0}, {"ZEBRA", false, 3}, {"CHERRY", true, 3}};
  for (auto& sk : seeks) {
    Cursor c;
    bool found;
    ASSERT_TRUE(tag->seek(sk.key, &c, &found).ok());
    EXPECT_EQ(found, sk.found) << sk.key;
    EXPECT_EQ(c.valid ? c.recno : 0u, sk.recno) << sk.key;
  }
}

TEST(AscendingTag, SeeksExactAndSoft) {
  auto bag = new_bag();
  std::vector<Entry> entries;
  for (uint32_t r = 1; r <= 3000; ++r) entries.emplace_back(double_key(r * 2.0), r);  // even numbers
  Tag* tag = make_tag(*bag, "N", 8, KeyKind::Binary, false, false, key_set(entries, 8));
  struct {
    double key;
    bool found;
    uint32_t recno;
  } seeks[] = {{2, true, 1}, {3, false, 2}, {6000, true, 3000}, {6001, false, 0}, {-5, false, 1}, {4444, true, 2222}};
  for (auto& sk : seeks) {
    Cursor c;
    bool found;
    ASSERT_TRUE(tag->seek(double_key(sk.key), &c, &found).ok());
    EXPECT_EQ(found, sk.found) << sk.key;
    EXPECT_EQ(c.valid ? c.recno : 0u, sk.recno) << sk.key;
  }
}

// The FOR text and the tag list survive reopening; replacing a tag by name and
// dropping one give their pages back to later growth.
TEST(BagTags, ForTextReplaceAndDrop) {
  MemFile* raw;
  auto bag = new_bag(&raw);
  make_tag(*bag, "ACTIVE", 10, KeyKind::Character, false, false, key_set({{"X", 1}}, 10), ".NOT.DELETED()");
  make_tag(*bag, "OTHER", 10, KeyKind::Character);
  Tag* other = bag->find("OTHER");
  for (uint32_t r = 1; r <= 2000; ++r) ASSERT_TRUE(other->insert(std::to_string(r), r).ok());
  make_tag(*bag, "OTHER", 10, KeyKind::Character);  // replaced, old pages freed
  size_t size_before = raw->bytes().size();
  other = bag->find("OTHER");
  for (uint32_t r = 1; r <= 1000; ++r) ASSERT_TRUE(other->insert(std::to_string(r), r).ok());
  EXPECT_EQ(raw->bytes().size(), size_before);  // grew into freed pages only
  ASSERT_TRUE(bag->verify().ok());

  std::unique_ptr<Bag> again;
  ASSERT_TRUE(Bag::open(mem_file("test.cdx", raw->bytes()), &again).ok());
  ASSERT_EQ(again->tags().size(), 2u);
  EXPECT_EQ(again->find("active")->for_expr(), ".NOT.DELETED()");
  EXPECT_EQ(again->find("active")->key_expr(), "KEYEXPR");
  ASSERT_TRUE(again->drop_tag("ACTIVE").ok());
  EXPECT_EQ(again->find("ACTIVE"), nullptr);
  EXPECT_EQ(again->drop_tag("ACTIVE").code, Status::NotFound);
  EXPECT_TRUE(again->verify().ok());
}

// Two handles on one file, as two processes: after one writes, the other's
// refresh drops what it had cached and sees the change, keeping its tag objects.
TEST(BagTags, RefreshSeesAnotherWriter) {
  MemFile* raw;
  auto writer = new_bag(&raw);
  Tag* w = make_tag(*writer, "NAME", 10, KeyKind::Character);
  for (uint32_t r = 1; r <= 500; ++r) ASSERT_TRUE(w->insert("K" + std::to_string(r), r).ok());
  std::unique_ptr<Bag> reader;
  ASSERT_TRUE(Bag::open(std::make_unique<MemFile>("test.cdx", raw->shared()), &reader).ok());
  Tag* r = reader->find("NAME");
  ASSERT_EQ(walk(*r).size(), 500u);  // pages now cached by the reader

  for (uint32_t rec = 501; rec <= 900; ++rec) ASSERT_TRUE(w->insert("A" + std::to_string(rec), rec).ok());
  ASSERT_TRUE(w->remove("K1", 1).ok());
  make_tag(*writer, "LATER", 4, KeyKind::Binary);
  ASSERT_TRUE(reader->refresh().ok());
  EXPECT_EQ(reader->find("NAME"), r);
  EXPECT_NE(reader->find("LATER"), nullptr);
  EXPECT_EQ(walk(*r), walk(*w));
  EXPECT_TRUE(reader->verify().ok());
}

// Verify catches a free-page list that loops or hands out a page in use.
TEST(BagTags, VerifyChecksTheFreeList) {
  MemFile* raw;
  auto bag = new_bag(&raw);
  Tag* t = make_tag(*bag, "T", 10, KeyKind::Character);
  for (uint32_t r = 1; r <= 300; ++r) ASSERT_TRUE(t->insert(std::to_string(r), r).ok());
  for (uint32_t r = 1; r <= 300; ++r) ASSERT_TRUE(t->remove(std::to_string(r), r).ok());
  ASSERT_TRUE(bag->verify().ok());
  std::vector<uint8_t>& b = raw->bytes();
  uint32_t head = b[4] | (b[5] << 8) | (b[6] << 16) | (static_cast<uint32_t>(b[7]) << 24);
  ASSERT_NE(head, 0u);
  std::vector<uint8_t> looped = b;
  std::memcpy(&looped[head], &looped[4], 4);  // the first free page points at itself
  std::unique_ptr<Bag> again;
  ASSERT_TRUE(Bag::open(mem_file("test.cdx", looped), &again).ok());
  EXPECT_EQ(again->verify().code, Status::Corrupt);
}

TEST(BagTags, RefusesBadSpecs) {
  auto bag = new_bag();
  TagSpec spec;
  spec.key_expr = "X";
  spec.key_len = 10;
  for (const char* bad : {"", "ELEVENCHARS", "TWO WORDS"}) {
    spec.name = bad;
    EXPECT_EQ(bag->create_tag(spec, {}, nullptr).code, Status::Invalid) << bad;
  }
  spec.name = "OK";
  for (int len : {0, 241}) {
    spec.key_len = len;
    EXPECT_EQ(bag->create_tag(spec, {}, nullptr).code, Status::Invalid) << len;
  }
  spec.key_len = 10;
  spec.key_expr = std::string(600, 'X');
  EXPECT_EQ(bag->create_tag(spec, {}, nullptr).code, Status::Invalid);
}

}  // namespace
