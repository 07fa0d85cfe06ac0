// Field values to stored bytes and back, and the values each type refuses.
#include <gtest/gtest.h>

#include "dbf/julian.h"
#include "dbf/record.h"

using namespace ace::dbf;

namespace {

TableHeader table_of(std::vector<FieldDesc> fields, uint8_t version = kDbase3) {
  TableHeader h;
  h.version = version;
  h.fields = std::move(fields);
  lay_out(&h);
  return h;
}

FieldDesc field(const char* name, FieldType t, uint16_t len, uint8_t dec = 0, uint8_t flags = 0) {
  FieldDesc f;
  f.name = name;
  f.type = t;
  f.length = len;
  f.decimals = dec;
  f.flags = flags;
  return f;
}

TEST(Julian, KnownDaysAndCalendarEdges) {
  EXPECT_EQ(julian_from_ymd(1997, 1, 13), 2450462);
  EXPECT_EQ(dtos_from_julian(2450462), "19970113");
  EXPECT_EQ(julian_from_dtos("20000229", 8), julian_from_ymd(2000, 2, 29));
  EXPECT_EQ(julian_from_dtos("19000229", 8), -1);  // not a leap year
  EXPECT_EQ(julian_from_dtos("20240431", 8), -1);
  EXPECT_EQ(julian_from_dtos("        ", 8), 0);
  EXPECT_EQ(julian_from_dtos("2024O101", 8), -1);
  EXPECT_EQ(dtos_from_julian(0), "        ");
}

struct TextCase {
  FieldType type;
  uint16_t len;
  uint8_t dec;
  const char* text;
  uint32_t code;
  const char* stored;  // field bytes after a successful put
};

TEST(RecordCodec, TextIntoEachType) {
  const TextCase cases[] = {
      {FieldType::Character, 5, 0, "abc", ACE_OK, "abc  "},
      {FieldType::Character, 3, 0, "abcdef", ACE_OK, "abc"},
      {FieldType::Numeric, 8, 2, "-12.5", ACE_OK, "  -12.50"},
      {FieldType::Numeric, 8, 2, "  42 ", ACE_OK, "   42.00"},
      {FieldType::Numeric, 8, 2, "", ACE_OK, "        "},
      {FieldType::Numeric, 8, 2, "12a", ACE_ERR_DATATYPE, nullptr},
      {FieldType::Numeric, 8, 2, "123456.7", ACE_ERR_DATAWIDTH, nullptr},
      {FieldType::Numeric, 4, 0, "-0", ACE_OK, "   0"},
      {FieldType::Float, 10, 4, "0.125", ACE_OK, "    0.1250"},
      {FieldType::Date, 8, 0, "19970113", ACE_OK, "19970113"},
      {FieldType::Date, 8, 0, "", ACE_OK, "        "},
      {FieldType::Date, 8, 0, "13/01/97", ACE_ERR_DATATYPE, nullptr},
      {FieldType::Date, 8, 0, "19970230", ACE_ERR_DATATYPE, nullptr},
      {FieldType::Logical, 1, 0, "y", ACE_OK, "T"},
      {FieldType::Logical, 1, 0, "F", ACE_OK, "F"},
      {FieldType::Logical, 1, 0, "maybe", ACE_ERR_DATATYPE, nullptr},
      {FieldType::Memo, 10, 0, "text", ACE_ERR_DATATYPE, nullptr},
  };
  for (const auto& c : cases) {
    TableHeader h = table_of({field("F", c.type, c.len, c.dec)});
    if (c.type == FieldType::Logical && c.code == ACE_OK) {
      std::string rec = blank_record(h);
      put_text(h, &rec, h.fields[0], c.text);
      EXPECT_EQ(get_text(h, rec, h.fields[0]), c.stored) << "logicals read back as T or F";
    }
    std::string rec = blank_record(h);
    const std::string before = rec;
    EXPECT_EQ(put_text(h, &rec, h.fields[0], c.text), c.code) << static_cast<char>(c.type) << " " << c.text;
    if (c.code == ACE_OK)
      EXPECT_EQ(rec.substr(1), c.stored) << static_cast<char>(c.type) << " " << c.text;
    else
      EXPECT_EQ(rec, before) << "a refused value changes nothing";
  }
}

TEST(RecordCodec, BinaryTypesRoundTrip) {
  TableHeader h = table_of({field("I", FieldType::Integer, 4), field("Y", FieldType::Currency, 8),
                            field("B", FieldType::Double, 8, 3), field("T", FieldType::DateTime, 8),
                            field("M", FieldType::Memo, 4)},
                           kVisualFoxPro);
  std::string rec = blank_record(h);
  bool ok;
  ASSERT_EQ(put_number(h, &rec, h.fields[0], -123456), ACE_OK);
  EXPECT_EQ(get_text(h, rec, h.fields[0]), "-123456");
  EXPECT_EQ(put_number(h, &rec, h.fields[0], 3e9), ACE_ERR_DATAWIDTH);
  ASSERT_EQ(put_number(h, &rec, h.fields[1], 12.3456), ACE_OK);
  EXPECT_DOUBLE_EQ(get_number(rec, h.fields[1], &ok), 12.3456);
  ASSERT_EQ(put_number(h, &rec, h.fields[2], -0.5), ACE_OK);
  EXPECT_EQ(get_text(h, rec, h.fields[2]), "-0.500");
  ASSERT_EQ(put_text(h, &rec, h.fields[3], "20240229134501"), ACE_OK);
  EXPECT_EQ(get_text(h, rec, h.fields[3]), "20240229134501");
  EXPECT_EQ(get_julian(rec, h.fields[3]), julian_from_ymd(2024, 2, 29));
  EXPECT_EQ(put_text(h, &rec, h.fields[3], "20240229256000"), ACE_ERR_DATATYPE);
  put_memo_block(h, &rec, h.fields[4], 0x01020304);
  EXPECT_EQ(rec.substr(h.fields[4].offset, 4), std::string("\x04\x03\x02\x01", 4));
  EXPECT_EQ(memo_block(h, rec, h.fields[4]), 0x01020304u);
  EXPECT_EQ(put_number(h, &rec, h.fields[3], 1.0), ACE_ERR_DATATYPE);
}

TEST(RecordCodec, MemoPointersAsDigits) {
  TableHeader h = table_of({field("M", FieldType::Memo, 10)}, kFoxPro2Memo);
  std::string rec = blank_record(h);
  EXPECT_EQ(memo_block(h, rec, h.fields[0]), 0u);
  put_memo_block(h, &rec, h.fields[0], 79);
  EXPECT_EQ(rec.substr(1), "        79");
  EXPECT_EQ(memo_block(h, rec, h.fields[0]), 79u);
  rec.replace(1, 10, "99999999999");  // beyond 32 bits: no block at all
  EXPECT_EQ(memo_block(h, rec, h.fields[0]), 0u);
}

TEST(RecordCodec, NullableFieldsFollowNullFlags) {
  TableHeader h = table_of({field("N", FieldType::Numeric, 5, 0, kFieldNullable),
                            field("V", FieldType::Varchar, 10, 0, kFieldNullable),
                            field("_NullFlags", FieldType::NullFlags, 1, 0, kFieldSystem)},
                           kVisualFoxPro);
  EXPECT_EQ(h.fields[0].null_bit, 0);
  EXPECT_EQ(h.fields[1].varlength_bit, 1);
  EXPECT_EQ(h.fields[1].null_bit, 2);
  std::string rec = blank_record(h);
  EXPECT_TRUE(is_null(h, rec, h.fields[0]));
  ASSERT_EQ(put_number(h, &rec, h.fields[0], 0), ACE_OK);
  EXPECT_FALSE(is_null(h, rec, h.fields[0]));
  ASSERT_EQ(put_text(h, &rec, h.fields[1], "abc"), ACE_OK);
  EXPECT_EQ(get_text(h, rec, h.fields[1]), "abc");
  EXPECT_FALSE(is_null(h, rec, h.fields[1]));
}

}  // namespace
