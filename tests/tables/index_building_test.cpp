#include <gtest/gtest.h>

#include "tables/dbfdbt.h"
#include "tables/driver_catalog.h"
#include "tables/index_building.h"
#include "tables/table_operations.h"
#include "tables_fixture.h"

namespace tbltest {
namespace {

using tbl::Value;

class IndexBuilding : public TablesTest {
 protected:
  void SetUp() override {
    TablesTest::SetUp();
    ads->add_table("clientes.dbf", five_fields(), {sample_record(), sample_record(), sample_record()});
    tbl::DBUSEAREA(true, "", "clientes.dbf", std::nullopt, true, false);
    tbl::DBGOTO(2);
    tbl::DBSELECTAREA(Value::numeric(4));
    log.clear();
  }

  // Registers a driver named "DBFNTX" as the default, holding the same table.
  std::shared_ptr<FakeDriver> use_ntx_driver() {
    auto ntx = std::make_shared<FakeDriver>(&log, ".ntx");
    ntx->add_table("clientes.dbf", five_fields(), {sample_record(), sample_record()});
    tbl::register_table_driver("DBFNTX", ntx);
    tbl::set_default_table_driver("DBFNTX");
    tbl::DBSELECTAREA(Value::numeric(1));
    tbl::DBCLOSEAREA();
    tbl::DBUSEAREA(false, "", "clientes.dbf", std::nullopt, true, false);
    tbl::DBSELECTAREA(Value::numeric(4));
    log.clear();
    return ntx;
  }
};

TEST_F(IndexBuilding, CreatecdxBuildsATagInTheStructuralBag) {
  EXPECT_TRUE(tbl::CREATECDX(Value::character("clientes"), Value::character("UPPER(NOMBRE)"),
                             "C:\\Datos\\clientes.cdx")
                  .is_nil());
  ASSERT_EQ(ads->orders_built.size(), 1u);
  const auto& r = ads->orders_built[0];
  EXPECT_FALSE(r.bag.has_value());
  EXPECT_EQ(r.tag, std::optional<std::string>("CLIENTES"));
  EXPECT_EQ(r.key, "UPPER(NOMBRE)");
  EXPECT_EQ(r.block.source, "{ ||UPPER(NOMBRE)}");
  EXPECT_EQ(r.unique_given, std::optional<bool>(false));  // always passed
  EXPECT_EQ(r.condition.start_record, 2u);                 // the area's record
  // The new order controls the area, which stands on its first record; the
  // caller's area is current again.
  EXPECT_EQ(log.events(), (std::vector<std::string>{"create CLIENTES in (structural)", "top"}));
  EXPECT_EQ(tbl::SELECT(), 4);
}

TEST_F(IndexBuilding, WhatEachCallBuilds) {
  struct Case {
    const char* what;
    std::function<void()> call;
    std::vector<std::string> events;
    std::optional<std::string> bag, tag;
    std::optional<bool> unique;
  };
  const Value cli = Value::character("CLIENTES");
  const Value key = Value::character("NOMBRE");
  const Case cases[] = {
      {"CREATECDX, reset, unique", [&] { tbl::CREATECDX(cli, key, "a.b.cdx", true, true); },
       {"order 0", "create A in (structural)", "top"}, std::nullopt, std::string("A"), true},
      {"CREAINDICE, structural bag", [&] { tbl::CREAINDICE(cli, key, "C:\\x\\nombres.cdx"); },
       {"create NOMBRES in (structural)", "top"}, std::nullopt, std::string("NOMBRES"), false},
      {"CREAINDICE, own bag, reset",
       [&] { tbl::CREAINDICE(cli, key, "C:\\x\\nombres.cdx", std::nullopt, true, true, Value::logical(true)); },
       {"order 0", "create NOMBRES in C:\\x\\nombres.cdx", "top"}, std::string("C:\\x\\nombres.cdx"),
       std::string("NOMBRES"), false},
  };
  for (const auto& c : cases) {
    log.clear();
    ads->orders_built.clear();
    c.call();
    EXPECT_EQ(log.events(), c.events) << c.what;
    ASSERT_EQ(ads->orders_built.size(), 1u) << c.what;
    EXPECT_EQ(ads->orders_built[0].bag, c.bag) << c.what;
    EXPECT_EQ(ads->orders_built[0].tag, c.tag) << c.what;
    EXPECT_EQ(ads->orders_built[0].unique_given, c.unique) << c.what;
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(IndexBuilding, NtxDriverBuildsAnIndexFileWithoutTag) {
  auto ntx = use_ntx_driver();
  const Value cli = Value::character("CLIENTES");
  tbl::CREAINDICE(cli, Value::character("NOMBRE"), "C:\\x\\nombres.ntx", std::nullopt, true);
  EXPECT_EQ(log.events(), (std::vector<std::string>{"clear", "create  in C:\\x\\nombres.ntx", "top"}));
  tbl::CREAINDICE(cli, Value::character("NOMBRE"), "nombres.ntx", false);
  tbl::CREAINDICE(cli, Value::character("NOMBRE"), "nombres.ntx", true, std::nullopt, true);
  ASSERT_EQ(ntx->orders_built.size(), 3u);
  EXPECT_FALSE(ntx->orders_built[0].tag.has_value());
  EXPECT_EQ(ntx->orders_built[0].bag, std::optional<std::string>("C:\\x\\nombres.ntx"));
  // Unique is passed only when asked for; else the program-wide setting decides.
  EXPECT_FALSE(ntx->orders_built[0].unique_given.has_value());
  EXPECT_FALSE(ntx->orders_built[1].unique_given.has_value());
  EXPECT_EQ(ntx->orders_built[2].unique_given, std::optional<bool>(true));
  EXPECT_TRUE(ads->orders_built.empty());
}

TEST_F(IndexBuilding, WithoutAliasTheCurrentAreaIsIndexed) {
  tbl::DBSELECTAREA(Value::numeric(1));
  tbl::CREATECDX(Value(), Value::character("NOMBRE"), "nombres");
  EXPECT_EQ(ads->orders_built.size(), 1u);
  // ...and a free current area has no alias to name.
  tbl::DBSELECTAREA(Value::numeric(4));
  tbl::CREATECDX(Value(), Value::character("NOMBRE"), "nombres");
  EXPECT_EQ(error_descriptions(), std::vector<std::string>{"Alias does not exist"});
}

TEST_F(IndexBuilding, Errors) {
  const Value cli = Value::character("CLIENTES");
  tbl::CREATECDX(cli, Value::character("NOMBRE +"), "x");
  tbl::CREAINDICE(cli, Value::numeric(1), "x");
  tbl::CREATECDX(Value::character("nadie"), Value::character("NOMBRE"), "x");
  tbl::CREAINDICE(Value::numeric(2), Value::character("NOMBRE"), "x");
  // A free area: the condition and the build each raise it.
  EXPECT_EQ(error_descriptions(),
            (std::vector<std::string>{"Syntax error", "Argument error", "Alias does not exist",
                                      "Workarea not in use", "Workarea not in use"}));
  EXPECT_TRUE(ads->orders_built.empty());
}

TEST(Dbfdbt, DoesNothing) {
  EXPECT_TRUE(tbl::DBFDBT().is_nil());
  EXPECT_TRUE(tbl::DBFDBT(1, "x", Value::logical(true)).is_nil());
}

}  // namespace
}  // namespace tbltest
