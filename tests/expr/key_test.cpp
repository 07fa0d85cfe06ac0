// Index keys: their type and length known from the columns alone, and their
// bytes, which must sort like the values they encode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "test_record.h"

namespace ace::expr {
namespace {

using testing::people;
using testing::TestRecord;

std::string hex(const std::string& s) {
  static const char* d = "0123456789ABCDEF";
  std::string r;
  for (unsigned char c : s) {
    if (!r.empty()) r += ' ';
    r += d[c >> 4];
    r += d[c & 15];
  }
  return r;
}

TEST(KeyBytes, MatchTheStoredForm) {
  // Day 2450462 (1997-01-13) as the date tags of existing files hold it; integer
  // 1 as the call_id tag of the sample calls.CDX holds it.
  EXPECT_EQ(hex(encode_key(Value::date(2450462), 8)), "C1 42 B2 0F 00 00 00 00");
  EXPECT_EQ(hex(encode_key(Value::numeric(1), 4)), "80 00 00 01");
  EXPECT_EQ(hex(encode_key(Value::numeric(-1), 8)), "40 0F FF FF FF FF FF FF");
  EXPECT_EQ(hex(encode_key(Value::numeric(0), 8)), "80 00 00 00 00 00 00 00");
  EXPECT_EQ(encode_key(Value::numeric(-0.0), 8), encode_key(Value::numeric(0.0), 8));
  EXPECT_EQ(encode_key(Value::date(0), 8), encode_key(Value::numeric(0), 8));
  EXPECT_EQ(encode_key(Value::character("ab"), 4), "ab  ");
  EXPECT_EQ(encode_key(Value::character("abcdef"), 4), "abcd");
  EXPECT_EQ(encode_key(Value::logical(true), 1), "T");
  EXPECT_EQ(encode_key(Value::logical(false), 1), "F");
}

TEST(KeyBytes, SortLikeTheValues) {
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<double> numbers = {-inf, -1e300, -1e10, -2.5, -1, -0.5, -1e-300, 0,
                                 1e-300, 0.5, 1, 2, 2.5, 1e10, 1e300, inf};
  for (size_t i = 1; i < numbers.size(); ++i)
    EXPECT_LT(encode_key(Value::numeric(numbers[i - 1]), 8), encode_key(Value::numeric(numbers[i]), 8))
        << numbers[i - 1] << " < " << numbers[i];

  std::vector<int32_t> ints = {INT32_MIN, -70000, -1, 0, 1, 255, 256, 70000, INT32_MAX};
  for (size_t i = 1; i < ints.size(); ++i)
    EXPECT_LT(encode_key(Value::numeric(ints[i - 1]), 4), encode_key(Value::numeric(ints[i]), 4));

  std::vector<int32_t> days = {0, kFirstJulian, julian_from_ymd(1899, 12, 31), 2450462,
                               julian_from_ymd(2049, 1, 1), kLastJulian};
  for (size_t i = 1; i < days.size(); ++i)
    EXPECT_LT(encode_key(Value::date(days[i - 1]), 8), encode_key(Value::date(days[i]), 8));
}

TEST(KeyBytes, DecodeRoundTrip) {
  for (double d : {-123.25, -1.0, 0.0, 1e-9, 42.0, 2450462.0}) {
    std::string k = encode_key(Value::numeric(d), 8);
    EXPECT_EQ(decode_double_key(reinterpret_cast<const uint8_t*>(k.data())), d);
  }
  for (int32_t v : {INT32_MIN, -1, 0, 12345, INT32_MAX}) {
    std::string k = encode_key(Value::numeric(v), 4);
    EXPECT_EQ(decode_integer_key(reinterpret_cast<const uint8_t*>(k.data())), v);
  }
}

// The columns of the sample tables whose bags hold these keys.
FieldListSchema sample_dbc() {
  return FieldListSchema({{"OBJECTID", FieldType::Integer, 4, 0},
                          {"PARENTID", FieldType::Integer, 4, 0},
                          {"OBJECTTYPE", FieldType::Character, 10, 0},
                          {"OBJECTNAME", FieldType::Character, 128, 0},
                          {"PROPERTY", FieldType::Memo, 4, 0}},
                         "CATALOG");
}

TEST(KeySpec, KnownFromColumnsAlone) {
  FieldListSchema setup({{"KEY_NAME", FieldType::Character, 50, 0}, {"VALUE", FieldType::Integer, 4, 0}}, "SETUP");
  FieldListSchema types({{"CONTACT_TY", FieldType::Integer, 4, 0}, {"CONTACT_T2", FieldType::Character, 50, 0}},
                        "TYPES");
  FieldListSchema dbc = sample_dbc();
  TestRecord rec = people();
  struct Case {
    const char* text;
    const Schema* schema;
    KeyType type;
    int length;
  } cases[] = {
      // the sample bags' tags, with the lengths their headers record
      {"key_name", &setup, KeyType::Character, 50},
      {"contact_type_id", &types, KeyType::Integer, 4},
      {"STR(parentid)+objecttype+LOWER(objectname)", &dbc, KeyType::Character, 148},
      {"STR(parentid)+objecttype", &dbc, KeyType::Character, 20},
      {".NOT.DELETED()", &dbc, KeyType::Logical, 1},
      // lengths that functions fix
      {"DTOS(BORN)+UPPER(NAME)", &rec, KeyType::Character, 18},
      {"SUBSTR(NAME,3)", &rec, KeyType::Character, 8},
      {"SUBSTR(NAME,2,3)", &rec, KeyType::Character, 3},
      {"LEFT(NAME,30)", &rec, KeyType::Character, 10},
      {"PADR(TRIM(NAME),20)", &rec, KeyType::Character, 20},
      {"DTOC(BORN)", &rec, KeyType::Character, 8},
      {"STRZERO(AGE,6)+IIF(ACTIVE,'Y','NO')", &rec, KeyType::Character, 8},
      {"TRANSFORM(SALARY,'99,999.99')", &rec, KeyType::Character, 9},
      {"AGE", &rec, KeyType::Numeric, 8},
      {"-ID", &rec, KeyType::Numeric, 8},
      {"(ID)", &rec, KeyType::Integer, 4},
      {"BORN", &rec, KeyType::Date, 8},
      {"BORN+1", &rec, KeyType::Date, 8},
      {"ACTIVE", &rec, KeyType::Logical, 1},
  };
  for (const auto& c : cases) {
    CompileResult r = compile(c.text, *c.schema, EvalSettings{"dd-mm-yy", 1950, 0});
    ASSERT_TRUE(r) << c.text << ": " << r.error.message;
    KeySpec k;
    Error e;
    ASSERT_TRUE(r.program->key_spec(&k, &e)) << c.text << ": " << e.message;
    EXPECT_EQ(k.type, c.type) << c.text;
    EXPECT_EQ(k.length, c.length) << c.text;
  }
}

TEST(KeySpec, RefusedWhenNoFixedLength) {
  TestRecord rec = people();
  for (const char* text : {"NOTES", "TRIM(NOTES)", "SPACE(AGE)", "PADR(NAME,AGE)", "REPLICATE(NAME,30)",
                           "NIL", "SPACE(0)"}) {
    CompileResult r = compile(text, rec);
    ASSERT_TRUE(r) << text;
    KeySpec k;
    Error e;
    EXPECT_FALSE(r.program->key_spec(&k, &e)) << text;
    EXPECT_EQ(e.kind, ErrorKind::Type) << text;
  }
}

TEST(KeySpec, EvaluatedKeysArePaddedToTheirLength) {
  TestRecord rec({{"PARENTID", FieldType::Integer, 4, 0},
                  {"OBJECTTYPE", FieldType::Character, 10, 0},
                  {"OBJECTNAME", FieldType::Character, 128, 0}},
                 {Value::numeric(1), Value::character("Database  "), Value::character("Company_Name")});
  CompileResult r = compile("STR(parentid)+objecttype+LOWER(objectname)", rec);
  ASSERT_TRUE(r);
  std::string key;
  Error e;
  ASSERT_TRUE(r.program->evaluate_key(rec, EvalSettings{}, &key, &e)) << e.message;
  EXPECT_EQ(key, "         1Database  company_name" + std::string(116, ' '));

  CompileResult id = compile("PARENTID", rec);
  ASSERT_TRUE(id);
  ASSERT_TRUE(id.program->evaluate_key(rec, EvalSettings{}, &key, &e));
  EXPECT_EQ(hex(key), "80 00 00 01");

  CompileResult trimmed = compile("TRIM(OBJECTTYPE)+'x'", rec);
  ASSERT_TRUE(trimmed);
  ASSERT_TRUE(trimmed.program->evaluate_key(rec, EvalSettings{}, &key, &e));
  EXPECT_EQ(key, "Databasex  ");
}

}  // namespace
}  // namespace ace::expr
