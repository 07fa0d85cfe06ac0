#include <gtest/gtest.h>

#include "tables/field_arrays.h"
#include "tables/table_operations.h"
#include "tables_fixture.h"

namespace tbltest {
namespace {

using tbl::Value;

// Núñez (a character field) and ¿Sí? (a memo) in OEM, and the same in ANSI.
const std::string kOemName("N\xA3\xA4" "ez     ", 10);
const std::string kAnsiName("N\xFA\xF1" "ez     ", 10);
const std::string kOemMemo("\xA8S\xA1?", 4);
const std::string kAnsiMemo("\xBFS\xED?", 4);

class FieldArrays : public TablesTest {
 protected:
  void SetUp() override {
    TablesTest::SetUp();
    auto record = sample_record(kOemName);
    record[4] = Value::memo(kOemMemo);
    data = ads->add_table("clientes.dbf", five_fields(), {record});
    tbl::DBUSEAREA(true, "", "clientes.dbf", std::nullopt, true, false);
    tbl::DBGOTO(1);
  }
  std::shared_ptr<FakeTableData> data;
};

TEST_F(FieldArrays, ReadsEveryFieldConvertingText) {
  const Value fields = tbl::ACAMPOSLEE();
  ASSERT_EQ(fields.items().size(), 5u);
  EXPECT_EQ(fields.items()[0], Value::character(kAnsiName));
  EXPECT_EQ(fields.items()[1], Value::numeric(12.5));
  EXPECT_EQ(fields.items()[2], Value::date(2455198));
  EXPECT_EQ(fields.items()[3], Value::logical(true));
  // A memo comes back as plain character text.
  EXPECT_EQ(fields.items()[4], Value::character(kAnsiMemo));
}

TEST_F(FieldArrays, FreeAreaGivesAnEmptyArray) {
  tbl::DBSELECTAREA(Value::numeric(2));
  const Value fields = tbl::ACAMPOSLEE();
  EXPECT_EQ(tbl::VALTYPE(fields), "A");
  EXPECT_TRUE(fields.items().empty());
}

TEST_F(FieldArrays, ReadThenWriteLeavesTheRecordUnchanged) {
  const auto before = data->records[0];
  EXPECT_TRUE(tbl::ACAMPOSGRABA(tbl::ACAMPOSLEE()));
  EXPECT_EQ(data->records[0], before);
}

TEST_F(FieldArrays, WritesConvertOnlyCharacterValues) {
  EXPECT_TRUE(tbl::ACAMPOSGRABA(Value::array({Value::character("\xC7" "a\xF1" "a"), Value::numeric(3),
                                              Value::date(1), Value::logical(false),
                                              Value::memo("\xF1 sin convertir")})));
  const auto& r = data->records[0];
  EXPECT_EQ(r[0], Value::character("\x80" "a\xA4" "a      "));
  EXPECT_EQ(r[1], Value::numeric(3));
  EXPECT_EQ(r[4], Value::memo("\xF1 sin convertir"));
  // A character value for the memo field is converted.
  tbl::ACAMPOSGRABA(Value::array({Value::character("x"), Value::numeric(3), Value::date(1),
                                  Value::logical(false), Value::character("\xF1")}));
  EXPECT_EQ(r[4], Value::memo("\xA4"));
  EXPECT_TRUE(errors.empty());
}

TEST_F(FieldArrays, ShortAndLongArrays) {
  const auto before = data->records[0];
  EXPECT_TRUE(tbl::ACAMPOSGRABA(Value::array({Value::character("Ana")})));
  EXPECT_EQ(data->records[0][0], Value::character("Ana       "));
  for (size_t n = 1; n < 5; ++n) EXPECT_EQ(data->records[0][n], before[n]);
  EXPECT_TRUE(tbl::ACAMPOSGRABA(Value::array()));
  // Elements beyond the field count are not stored and not reported.
  auto seven = tbl::ACAMPOSLEE();
  seven.items().push_back(Value::character("extra"));
  seven.items().push_back(Value());
  EXPECT_TRUE(tbl::ACAMPOSGRABA(seven));
  EXPECT_TRUE(errors.empty());
}

TEST_F(FieldArrays, UnfitElementsAreDataTypeErrors) {
  EXPECT_TRUE(tbl::ACAMPOSGRABA(Value::array({Value(), Value::character("12")})));
  EXPECT_EQ(error_descriptions(), (std::vector<std::string>{"Data type error", "Data type error"}));
}

}  // namespace
}  // namespace tbltest
