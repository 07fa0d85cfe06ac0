// Every tag of the fixture bags, read through the engine, must hold exactly the
// keys of its table's records, in order, with the expressions stored beside them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <functional>
#include <optional>

#include "cdx/bag.h"
#include "dbf_rows.h"
#include "mem_file.h"

using namespace ace::cdx;
using namespace cdxtest;

namespace {

using KeyOf = std::function<std::optional<std::string>(const DbfRows&, size_t)>;

KeyOf int_field(const char* name) {
  return [=](const DbfRows& r, size_t i) { return integer_key(r.integer(i, name)); };
}

std::string str10(int32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "%10d", v);
  return b;
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// STR(parentid)+objecttype[+LOWER(objectname)] FOR .NOT.DELETED()
KeyOf dbc_key(bool with_name) {
  return [=](const DbfRows& r, size_t i) -> std::optional<std::string> {
    if (r.deleted(i)) return std::nullopt;
    std::string k = str10(r.integer(i, "PARENTID")) + r.raw(i, "OBJECTTYPE");
    if (with_name) k += lower(r.raw(i, "OBJECTNAME"));
    return k;
  };
}

struct TagCase {
  const char* bag;
  const char* table;
  const char* tag;
  const char* key_expr;
  const char* for_expr;
  KeyKind kind;
  KeyOf key_of;
};

class FixtureTag : public ::testing::TestWithParam<TagCase> {};

TEST_P(FixtureTag, HoldsTheRecordsSortedByItsKey) {
  const TagCase& tc = GetParam();
  std::unique_ptr<Bag> bag;
  std::string dir = FIXTURE_DIR;
  ASSERT_TRUE(Bag::open(mem_file(tc.bag, read_whole(dir + "/" + tc.bag)), &bag).ok());
  Tag* tag = bag->find(tc.tag);
  ASSERT_NE(tag, nullptr);
  tag->set_kind(tc.kind);
  EXPECT_EQ(tag->key_expr(), tc.key_expr);
  EXPECT_EQ(tag->for_expr(), tc.for_expr);
  EXPECT_FALSE(tag->descending());

  DbfRows rows = read_dbf(dir + "/" + tc.table);
  std::vector<std::pair<std::string, uint32_t>> expected;
  for (size_t i = 0; i < rows.records.size(); ++i)
    if (auto k = tc.key_of(rows, i)) expected.emplace_back(*k, static_cast<uint32_t>(i + 1));
  std::sort(expected.begin(), expected.end());

  std::vector<std::pair<std::string, uint32_t>> forward, backward;
  Cursor c;
  Status s;
  for (s = tag->first(&c); s.ok() && c.valid; s = tag->next(&c)) forward.emplace_back(c.key, c.recno);
  ASSERT_TRUE(s.ok()) << s.message;
  for (s = tag->last(&c); s.ok() && c.valid; s = tag->prev(&c)) backward.emplace_back(c.key, c.recno);
  ASSERT_TRUE(s.ok()) << s.message;
  std::reverse(backward.begin(), backward.end());
  EXPECT_EQ(forward, expected);
  EXPECT_EQ(backward, expected);

  for (auto& [key, recno] : expected) {
    bool found;
    ASSERT_TRUE(tag->seek(key, &c, &found).ok());
    EXPECT_TRUE(found);
    EXPECT_EQ(c.key, key);
  }
  VerifyReport report;
  Status v = tag->verify(&report);
  EXPECT_TRUE(v.ok()) << v.message;
  EXPECT_EQ(report.keys, expected.size());
}

INSTANTIATE_TEST_SUITE_P(
    Bags, FixtureTag,
    ::testing::Values(
        TagCase{"calls.CDX", "calls.dbf", "CALL_ID", "call_id", "", KeyKind::Binary, int_field("CALL_ID")},
        TagCase{"calls.CDX", "calls.dbf", "CONTACT_ID", "contact_id", "", KeyKind::Binary, int_field("CONTACT_ID")},
        TagCase{"contacts.CDX", "contacts.dbf", "CONTACT_ID", "contact_id", "", KeyKind::Binary, int_field("CONTACT_ID")},
        TagCase{"contacts.CDX", "contacts.dbf", "TYPE_ID", "contact_type_id", "", KeyKind::Binary, int_field("CONTACT_TY")},
        TagCase{"types.CDX", "types.dbf", "TYPE_ID", "contact_type_id", "", KeyKind::Binary, int_field("CONTACT_TY")},
        TagCase{"setup.CDX", "setup.dbf", "KEY_NAME", "key_name", "", KeyKind::Character,
                [](const DbfRows& r, size_t i) { return std::optional<std::string>(r.raw(i, "KEY_NAME")); }},
        TagCase{"FOXPRO-DB-TEST.DCX", "FOXPRO-DB-TEST.DBC", "OBJECTNAME",
                "STR(parentid)+objecttype+LOWER(objectname)", ".NOT.DELETED()", KeyKind::Character, dbc_key(true)},
        TagCase{"FOXPRO-DB-TEST.DCX", "FOXPRO-DB-TEST.DBC", "OBJECTTYPE", "STR(parentid)+objecttype",
                ".NOT.DELETED()", KeyKind::Character, dbc_key(false)}),
    [](const ::testing::TestParamInfo<TagCase>& p) {
      std::string n = std::string(p.param.bag) + "_" + p.param.tag;
      for (char& ch : n)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
      return n;
    });

TEST(FixtureBag, ListsItsTagsAndVerifies) {
  struct {
    const char* bag;
    std::vector<std::string> tags;
    bool structural;
  } cases[] = {
      {"calls.CDX", {"CALL_ID", "CONTACT_ID"}, true},
      {"contacts.CDX", {"CONTACT_ID", "TYPE_ID"}, true},
      {"setup.CDX", {"KEY_NAME"}, true},
      {"types.CDX", {"TYPE_ID"}, true},
      {"FOXPRO-DB-TEST.DCX", {"OBJECTNAME", "OBJECTTYPE"}, true},
  };
  for (auto& tc : cases) {
    std::unique_ptr<Bag> bag;
    Status s = Bag::open(mem_file(tc.bag, read_whole(std::string(FIXTURE_DIR) + "/" + tc.bag)), &bag);
    ASSERT_TRUE(s.ok()) << s.message;
    std::vector<std::string> names;
    for (auto& t : bag->tags()) names.push_back(t->name());
    EXPECT_EQ(names, tc.tags) << tc.bag;
    EXPECT_EQ(bag->structural(), tc.structural) << tc.bag;
    s = bag->verify();
    EXPECT_TRUE(s.ok()) << s.message;
  }
}

}  // namespace
