#include <gtest/gtest.h>

#include "tables/driver_catalog.h"
#include "tables/net_error.h"
#include "tables/table_operations.h"
#include "tables/workareas.h"
#include "tables_fixture.h"

namespace tbltest {
namespace {

using tbl::Value;

class WorkAreas : public TablesTest {
 protected:
  void SetUp() override {
    TablesTest::SetUp();
    ads->add_table("clientes.dbf", five_fields(), {sample_record()});
    ads->add_table("C:\\Datos\\articulos.dbf", five_fields());
  }
};

TEST_F(WorkAreas, NewAreaTakesTheLowestFreeOneAndTheFileNameAsAlias) {
  tbl::DBUSEAREA(true, "", "clientes.dbf", std::nullopt, true, false);
  EXPECT_EQ(tbl::SELECT(), 1);
  EXPECT_EQ(tbl::ALIAS(), "CLIENTES");
  tbl::DBUSEAREA(true, "", "C:\\Datos\\articulos.dbf", std::nullopt, true, false);
  EXPECT_EQ(tbl::SELECT(), 2);
  EXPECT_EQ(tbl::ALIAS(), "ARTICULOS");
  tbl::DBSELECTAREA(Value::numeric(1));
  tbl::DBCLOSEAREA();
  tbl::DBSELECTAREA(Value::character("articulos"));
  EXPECT_EQ(tbl::SELECT(), 2);
  tbl::DBUSEAREA(true, "ADS", "clientes.dbf", std::string("cli"), false, false);
  EXPECT_EQ(tbl::SELECT(), 1);
  EXPECT_EQ(tbl::ALIAS(), "CLI");
  EXPECT_FALSE(ads->opens.back().shared);
  tbl::DBUSEAREA(true, "", "clientes.dbf", std::string(" "), true, false);
  EXPECT_EQ(tbl::ALIAS(), "CLIENTES");
  tbl::DBUSEAREA(true, "", "clientes.dbf", std::string(" otra "), true, false);
  EXPECT_EQ(tbl::ALIAS(), "OTRA");
  EXPECT_TRUE(errors.empty());
}

TEST_F(WorkAreas, OpenInTheCurrentAreaClosesItsTableEvenWhenTheOpenFails) {
  tbl::DBUSEAREA(false, "", "clientes.dbf", std::nullopt, true, false);
  ASSERT_EQ(tbl::ALIAS(), "CLIENTES");
  tbl::DBUSEAREA(false, "", "missing.dbf", std::nullopt, true, false);
  EXPECT_EQ(tbl::SELECT(), 1);
  EXPECT_EQ(tbl::ALIAS(), "");
  EXPECT_TRUE(tbl::NETERR());
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].gen_code, plat::EG_OPEN);
  EXPECT_EQ(errors[0].os_code, 2);
}

TEST_F(WorkAreas, RefusedOpenIsQuietAndLeavesTheAreaFree) {
  ads->add_table("busy.dbf", five_fields())->refuse_opens = -1;
  tbl::DBUSEAREA(true, "", "busy.dbf", std::nullopt, true, false);
  EXPECT_TRUE(tbl::NETERR());
  EXPECT_EQ(tbl::ALIAS(), "");
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].gen_code, plat::EG_OPEN);
  EXPECT_EQ(errors[0].os_code, 32);
  EXPECT_TRUE(errors[0].can_default);
  // The next open clears the indicator.
  tbl::DBUSEAREA(true, "", "clientes.dbf", std::nullopt, true, false);
  EXPECT_FALSE(tbl::NETERR());
}

TEST_F(WorkAreas, HandlerRetryOpensAgain) {
  ads->add_table("busy.dbf", five_fields())->refuse_opens = 2;
  plat::set_error_handler([&](const plat::Error& e) {
    errors.push_back(e);
    return plat::ErrorAnswer::Retry;
  });
  tbl::DBUSEAREA(true, "", "busy.dbf", std::nullopt, true, false);
  EXPECT_EQ(ads->opens.size(), 3u);
  EXPECT_FALSE(tbl::NETERR());
  EXPECT_EQ(tbl::ALIAS(), "BUSY");
}

TEST_F(WorkAreas, FaultsRaiseTheirErrors) {
  tbl::DBUSEAREA(true, "", "clientes.dbf", std::nullopt, true, false);
  tbl::DBUSEAREA(true, "", "clientes.dbf", std::nullopt, true, false);  // alias taken
  EXPECT_EQ(tbl::ALIAS(), "");
  EXPECT_TRUE(tbl::NETERR());
  tbl::DBUSEAREA(true, "NOSUCH", "clientes.dbf", std::string("X"), true, false);
  EXPECT_TRUE(tbl::NETERR());
  tbl::DBSELECTAREA(Value::character("nadie"));
  EXPECT_FALSE(tbl::RLOCK());
  tbl::DBAPPEND();
  EXPECT_TRUE(tbl::NETERR());  // nothing was appended
  tbl::DBGOTO(1);
  tbl::DBSETORDER(1);
  EXPECT_EQ(error_descriptions(),
            (std::vector<std::string>{"Alias already in use", "Argument error", "Alias does not exist",
                                      "Workarea not in use", "Workarea not in use", "Workarea not in use",
                                      "Workarea not in use"}));
}

TEST_F(WorkAreas, EmptyAreaAnswers) {
  tbl::DBSELECTAREA(Value::numeric(7));
  EXPECT_EQ(tbl::SELECT(), 7);
  EXPECT_EQ(tbl::RECNO(), 0u);
  EXPECT_EQ(tbl::INDEXORD(), 0);
  EXPECT_EQ(tbl::FCOUNT(), 0);
  EXPECT_EQ(tbl::ALIAS(), "");
  EXPECT_TRUE(tbl::FIELDGET(1).is_nil());
  tbl::FIELDPUT(1, Value::character("x"));
  EXPECT_EQ(tbl::INDEXEXT(), ".cdx");  // the default driver's
  EXPECT_TRUE(errors.empty());
}

TEST_F(WorkAreas, FieldsOutsideTheTableAreNilAndNotStored) {
  tbl::DBUSEAREA(true, "", "clientes.dbf", std::nullopt, true, false);
  tbl::DBGOTO(1);
  EXPECT_TRUE(tbl::FIELDGET(0).is_nil());
  EXPECT_TRUE(tbl::FIELDGET(6).is_nil());
  tbl::FIELDPUT(6, Value::character("x"));
  tbl::FIELDPUT(2, Value::character("x"));  // unfit for a numeric field
  EXPECT_EQ(error_descriptions(), std::vector<std::string>{"Data type error"});
}

TEST_F(WorkAreas, AppendFailureIsQuietAndSetsTheIndicator) {
  ads->add_table("lleno.dbf", five_fields())->refuse_appends = 1;
  tbl::DBUSEAREA(true, "", "lleno.dbf", std::nullopt, true, false);
  tbl::DBAPPEND();
  EXPECT_TRUE(tbl::NETERR());
  EXPECT_EQ(tbl::RECNO(), 1u);  // at the end of an empty table
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].gen_code, plat::EG_APPENDLOCK);
  tbl::DBAPPEND();
  EXPECT_FALSE(tbl::NETERR());
  EXPECT_EQ(tbl::RECNO(), 1u);
  EXPECT_EQ(tbl::FIELDGET(1), Value::character(std::string(10, ' ')));
}

TEST_F(WorkAreas, AreaScopeRunsInTheNamedAreaAndComesBack) {
  tbl::DBUSEAREA(true, "", "clientes.dbf", std::nullopt, true, false);
  tbl::DBSELECTAREA(Value::numeric(5));
  {
    tbl::AreaScope in(Value::character("Clientes"));
    ASSERT_TRUE(in.ok());
    EXPECT_EQ(tbl::ALIAS(), "CLIENTES");
  }
  EXPECT_EQ(tbl::SELECT(), 5);
  {
    tbl::AreaScope in(Value::character(""));
    EXPECT_FALSE(in.ok());
  }
  EXPECT_EQ(tbl::SELECT(), 5);
  EXPECT_EQ(error_descriptions(), std::vector<std::string>{"Alias does not exist"});
}

TEST_F(WorkAreas, OrderCreationClosesOrdersBuildsAndGoesToTheTop) {
  tbl::DBUSEAREA(true, "", "clientes.dbf", std::nullopt, true, false);
  tbl::ORDCONDSET({Value(), Value(), Value(), Value(), Value(), Value(), Value::numeric(1), Value(), Value(),
                   Value(), Value()});
  auto block = tbl::compile_key_block(Value::character("NOMBRE"));
  ASSERT_TRUE(block);
  tbl::set_unique_setting(true);
  tbl::ORDCREATE(std::nullopt, std::string("NOMBRE"), "NOMBRE", *block, std::nullopt);
  ASSERT_EQ(ads->orders_built.size(), 1u);
  const auto& r = ads->orders_built[0];
  EXPECT_FALSE(r.unique_given.has_value());
  EXPECT_TRUE(r.unique);  // the program-wide setting
  EXPECT_EQ(r.condition.start_record, 1u);
  EXPECT_EQ(tbl::INDEXORD(), 1);
  EXPECT_EQ(log.events().back(), "top");
  // The condition served that order only.
  tbl::DBCREATEINDEX("x.ntx", "NOMBRE", *block, false);
  EXPECT_EQ(ads->orders_built[1].condition.start_record, 0u);
  EXPECT_EQ(ads->orders_built[1].bag, std::optional<std::string>("x.ntx"));
  EXPECT_FALSE(ads->orders_built[1].tag.has_value());
  EXPECT_FALSE(ads->orders_built[1].unique);
}

}  // namespace
}  // namespace tbltest
