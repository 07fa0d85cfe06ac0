#include <gtest/gtest.h>

#include "tables/table_operations.h"
#include "tables/work_area_status.h"
#include "tables_fixture.h"

namespace tbltest {
namespace {

using tbl::Value;

class WorkAreaStatus : public TablesTest {
 protected:
  void SetUp() override {
    TablesTest::SetUp();
    ads->add_table("clientes.dbf", five_fields(), {sample_record(), sample_record(), sample_record()});
    tbl::DBUSEAREA(true, "", "clientes.dbf", std::nullopt, true, false);
    tbl::DBSELECTAREA(Value::numeric(3));
  }
};

TEST_F(WorkAreaStatus, CapturesRecordAndOrderOfTheNamedArea) {
  tbl::DBSELECTAREA(Value::numeric(1));
  tbl::DBGOTO(2);
  tbl::DBSETORDER(1);
  tbl::DBSELECTAREA(Value::numeric(3));
  EXPECT_EQ(tbl::ASETSTATUS(Value::character("clientes")),
            Value::array({Value::numeric(2), Value::numeric(1)}));
  EXPECT_EQ(tbl::ASETSTATUS(Value::numeric(1)), Value::array({Value::numeric(2), Value::numeric(1)}));
  // A free area, named by its number.
  EXPECT_EQ(tbl::ASETSTATUS(Value::numeric(2)), Value::array({Value::numeric(0), Value::numeric(0)}));
  EXPECT_EQ(tbl::SELECT(), 3);
  EXPECT_TRUE(errors.empty());
}

TEST_F(WorkAreaStatus, RestoresOrderFirstThenRecordAndKeepsTheCurrentArea) {
  log.clear();
  EXPECT_TRUE(tbl::GETSTATUS(Value::character("CLIENTES"), Value::array({Value::numeric(3), Value::numeric(1)}))
                  .is_nil());
  EXPECT_EQ(log.events(), (std::vector<std::string>{"order 1", "goto 3"}));
  EXPECT_EQ(tbl::SELECT(), 3);
  EXPECT_EQ(tbl::ASETSTATUS(Value::numeric(1)), Value::array({Value::numeric(3), Value::numeric(1)}));
}

TEST_F(WorkAreaStatus, Errors) {
  tbl::ASETSTATUS(Value::character("nadie"));
  tbl::GETSTATUS(Value::numeric(2), Value::array({Value::numeric(1), Value::numeric(0)}));
  tbl::GETSTATUS(Value::numeric(1), Value::array({Value::numeric(1)}));
  EXPECT_EQ(error_descriptions(),
            (std::vector<std::string>{"Alias does not exist", "Workarea not in use", "Workarea not in use",
                                      "Argument error"}));
  EXPECT_EQ(tbl::SELECT(), 3);
}

}  // namespace
}  // namespace tbltest
