// The routines over the "ADS" driver and the real engine, in one process: two work
// areas on one table exclude each other as two programs would.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "ace32.h"
#include "tables/ads_driver.h"
#include "tables/ads_driver_tables.h"
#include "tables/drivers.h"
#include "tables/driver_catalog.h"
#include "tables/field_arrays.h"
#include "tables/index_building.h"
#include "tables/net_error.h"
#include "tables/net_routines.h"
#include "tables/table_operations.h"
#include "tables/work_area_status.h"
#include "tables/workareas.h"
#include "tables_fixture.h"

namespace tbltest {
namespace {

namespace fs = std::filesystem;
using tbl::Value;

class AdsDriver : public TablesTest {
 protected:
  void SetUp() override {
    TablesTest::SetUp();
    tbl::register_table_driver("ADS", std::make_shared<tbl::AdsTableDriver>([] { return 2; }));
    dir_ = fs::temp_directory_path() /
           ("tables_ads_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    path = (dir_ / "clientes.dbf").string();
    ACE_HANDLE h = 0;
    ASSERT_EQ(ace_create_table(path.c_str(), nullptr, "NOMBRE,C,10,0;SALDO,N,10,2;ALTA,D;ACTIVO,L;NOTAS,M",
                               ACE_TABLE_CDX, ACE_OPEN_EXCLUSIVE, &h),
              0u);
    const char* names[] = {"Zoe", "Pe\xA4" "a", "Ana"};
    for (int i = 0; i < 3; ++i) {
      ASSERT_EQ(ace_append(h), 0u);
      ace_set_string(h, 1, names[i], static_cast<uint32_t>(std::strlen(names[i])));
      ace_set_double(h, 2, 10.25 * (i + 1));
    }
    ace_close_table(h);
  }
  void TearDown() override {
    TablesTest::TearDown();
    fs::remove_all(dir_);
  }

  std::string path;

 private:
  fs::path dir_;
};

TEST_F(AdsDriver, FieldsComeWithTheirTypesAndGoBack) {
  ASSERT_TRUE(tbl::LNETUSE(path));
  EXPECT_EQ(tbl::ALIAS(), "CLIENTES");
  EXPECT_EQ(tbl::INDEXEXT(), ".cdx");
  tbl::DBGOTO(2);
  const Value fields = tbl::ACAMPOSLEE();
  ASSERT_EQ(fields.items().size(), 5u);
  std::string letters;
  for (const auto& f : fields.items()) letters += tbl::VALTYPE(f);
  EXPECT_EQ(letters, "CNDLC");
  EXPECT_EQ(fields.items()[0], Value::character("Pe\xF1" "a      "));
  EXPECT_EQ(fields.items()[1], Value::numeric(20.5));
  ASSERT_TRUE(tbl::LNETRECLOCK());
  auto changed = fields;
  changed.items()[0] = Value::character("Mu\xF1oz");
  changed.items()[2] = Value::date(2455198);
  changed.items()[3] = Value::logical(true);
  changed.items()[4] = Value::character("\xBFnota?");
  EXPECT_TRUE(tbl::ACAMPOSGRABA(changed));
  EXPECT_EQ(tbl::FIELDGET(1), Value::character("Mu\xA4oz     "));
  EXPECT_EQ(tbl::FIELDGET(3), Value::date(2455198));
  EXPECT_EQ(tbl::FIELDGET(5), Value::memo("\xA8nota?"));
  tbl::FIELDPUT(2, Value::character("x"));
  tbl::FIELDPUT(3, Value());
  EXPECT_EQ(error_descriptions(), (std::vector<std::string>{"Data type error", "Data type error"}));
}

TEST_F(AdsDriver, ExclusiveOpenRefusesASecondAreaQuietly) {
  ASSERT_TRUE(tbl::LNETUSE(path, true));
  EXPECT_FALSE(tbl::LNETUSE(path, false, 2.0, std::string("OTRA")));
  EXPECT_TRUE(tbl::NETERR());
  ASSERT_EQ(errors.size(), 2u);
  for (const auto& e : errors) {
    EXPECT_EQ(e.gen_code, plat::EG_OPEN);
    EXPECT_EQ(e.os_code, 32);
    EXPECT_TRUE(e.can_default);
  }
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(log.count("wait 1"), 2);
  // Closed, the table opens again.
  tbl::DBSELECTAREA(Value::character("CLIENTES"));
  tbl::DBCLOSEAREA();
  EXPECT_TRUE(tbl::LNETUSE(path, false, 1.0, std::string("OTRA")));
}

TEST_F(AdsDriver, RecordLocksOfTwoAreasExcludeEachOther) {
  ASSERT_TRUE(tbl::LNETUSE(path, false, 1.0, std::string("A")));
  ASSERT_TRUE(tbl::LNETUSE(path, false, 1.0, std::string("B")));
  tbl::DBSELECTAREA(Value::character("A"));
  tbl::DBGOTO(1);
  ASSERT_TRUE(tbl::LNETRECLOCK());
  tbl::DBSELECTAREA(Value::character("B"));
  tbl::DBGOTO(1);
  EXPECT_FALSE(tbl::LNETRECLOCK(-1.0));
  EXPECT_EQ(boxes.size(), 1u);
  tbl::DBGOTO(2);
  EXPECT_TRUE(tbl::LNETRECLOCK());
  // Locking record 2 released B's other locks; A still holds record 1. Moving A
  // on and locking releases record 1, which B can then take.
  tbl::DBSELECTAREA(Value::character("A"));
  tbl::DBGOTO(3);
  EXPECT_TRUE(tbl::RLOCK());
  tbl::DBSELECTAREA(Value::character("B"));
  tbl::DBGOTO(1);
  EXPECT_TRUE(tbl::RLOCK());
}

TEST_F(AdsDriver, AppendedRecordIsCurrentAndLocked) {
  ASSERT_TRUE(tbl::LNETUSE(path, false, 1.0, std::string("A")));
  ASSERT_TRUE(tbl::LNETUSE(path, false, 1.0, std::string("B")));
  EXPECT_TRUE(tbl::LNETRECADD());
  EXPECT_EQ(tbl::RECNO(), 4u);
  tbl::FIELDPUT(1, Value::character("nuevo"));
  tbl::DBSELECTAREA(Value::character("A"));
  tbl::DBGOTO(4);
  EXPECT_FALSE(tbl::RLOCK());
  EXPECT_EQ(tbl::FIELDGET(1), Value::character("nuevo     "));
  EXPECT_TRUE(errors.empty());
}

TEST_F(AdsDriver, MissingTableIsAnOpenErrorThatIsNotQuiet) {
  EXPECT_FALSE(tbl::LNETUSE(path + ".nada", false, 1.0, std::nullopt, false));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].gen_code, plat::EG_OPEN);
  EXPECT_EQ(errors[0].os_code, 2);
  EXPECT_EQ(errors[0].subsystem, "ADSCDX");
}

TEST_F(AdsDriver, StartUpConfigurationIsWhatTheRoutinesUse) {
  // No driver of the tests: the one the start-up configuration registers.
  tbl::unregister_table_driver("ADS");
  tbl::set_default_table_driver("");
  tbl::RDDREGISTER("ADS", 1);
  tbl::RDDSETDEFAULT("ADS");
  tbl::ADSSETFILETYPE(2);
  EXPECT_EQ(tbl::INDEXEXT(), ".cdx");
  ASSERT_TRUE(tbl::LNETUSE(path));
  EXPECT_EQ(tbl::FCOUNT(), 5);
  tbl::DBGOTO(3);
  EXPECT_EQ(tbl::FIELDGET(2), Value::numeric(30.75));
  // The end of the program: tables first, then the drivers.
  tbl::workspace().close_all();
  tbl::shutdown_drivers();
  tbl::DBUSEAREA(true, "", path, std::nullopt, true, false);
  EXPECT_EQ(error_descriptions(), std::vector<std::string>{"Argument error"});  // no driver left
}

TEST_F(AdsDriver, IndexRoutinesBuildControllingOrders) {
  ASSERT_TRUE(tbl::LNETUSE(path));
  tbl::DBGOTO(2);
  // The name gives only the tag; the order goes into the table's structural bag.
  tbl::CREATECDX(Value(), Value::character("UPPER(NOMBRE)"), "C:\\Datos\\nombres.cdx");
  const int by_name = tbl::INDEXORD();
  EXPECT_GE(by_name, 1);
  // The new order controls and the area stands on its first record.
  std::vector<uint32_t> walk;
  for (int i = 0; i < 3; ++i, tbl::DBSKIP()) walk.push_back(tbl::RECNO());
  EXPECT_EQ(walk, (std::vector<uint32_t>{3, 2, 1}));

  // Position captured and restored, order first.
  tbl::DBGOTO(2);
  const Value status = tbl::ASETSTATUS(Value::character("CLIENTES"));
  EXPECT_EQ(status, Value::array({Value::numeric(2), Value::numeric(by_name)}));
  tbl::DBSETORDER(0);
  tbl::DBGOTO(1);
  tbl::GETSTATUS(Value::character("CLIENTES"), status);
  EXPECT_EQ(tbl::INDEXORD(), by_name);
  EXPECT_EQ(tbl::RECNO(), 2u);

  // An order in a bag of its own, named as given (here relative to the current
  // folder), after returning to record order.
  const fs::path saved = fs::current_path();
  fs::current_path(fs::path(path).parent_path());
  tbl::CREAINDICE(Value::character("CLIENTES"), Value::character("-SALDO"), "saldos.cdx", std::nullopt, true,
                  true);
  EXPECT_TRUE(fs::exists("saldos.cdx"));
  fs::current_path(saved);
  EXPECT_EQ(tbl::RECNO(), 3u);  // the highest balance first
  for (const auto& e : errors) ADD_FAILURE() << plat::error_message(e);
}

}  // namespace
}  // namespace tbltest
