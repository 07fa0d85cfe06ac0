#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "tables/driver_catalog.h"
#include "tables/net_error.h"
#include "tables/net_routines.h"
#include "tables/table_operations.h"
#include "tables/workareas.h"
#include "tables_fixture.h"

namespace tbltest {
namespace {

using tbl::Value;

class NetUse : public TablesTest {
 protected:
  void SetUp() override {
    TablesTest::SetUp();
    busy = ads->add_table("busy.dbf", five_fields());
    ads->add_table("clientes.dbf", five_fields(), {sample_record()});
  }
  std::shared_ptr<FakeTableData> busy;
};

TEST_F(NetUse, BudgetGivesAttemptsAndWaits) {
  struct Case {
    std::optional<double> attempts;
    int opens;
  } cases[] = {{std::nullopt, 1}, {1, 1}, {2, 2}, {0.5, 1}, {-1, 0}, {2.5, 3}, {-0.5, 0}, {1e-9, 1}};
  busy->refuse_opens = -1;
  for (const auto& c : cases) {
    log.clear();
    boxes.clear();
    EXPECT_FALSE(tbl::LNETUSE("busy.dbf", std::nullopt, c.attempts));
    EXPECT_EQ(log.count("open"), c.opens) << c.attempts.value_or(99);
    EXPECT_EQ(log.count("wait 1"), c.opens) << c.attempts.value_or(99);
    EXPECT_EQ(boxes.size(), 1u);
  }
}

TEST_F(NetUse, WithoutLimitRetriesUntilTheOpenSucceeds) {
  busy->refuse_opens = 5;
  EXPECT_TRUE(tbl::LNETUSE("busy.dbf", std::nullopt, 0.0));
  EXPECT_EQ(log.count("open"), 6);
  EXPECT_EQ(log.count("wait 1"), 5);
  EXPECT_EQ(tbl::ALIAS(), "BUSY");
  EXPECT_TRUE(boxes.empty());
}

TEST_F(NetUse, RefusedOpenTellsTheUserUnlessSilenced) {
  busy->refuse_opens = -1;
  EXPECT_FALSE(tbl::LNETUSE("busy.dbf"));
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].icon, plat::BoxIcon::Exclamation);
  EXPECT_EQ(boxes[0].text, "Fichero(s) bloqueado(s). Acceso Denegado");
  EXPECT_EQ(boxes[0].title, "Atenci\xF3n");
  EXPECT_EQ(log.events(), (std::vector<std::string>{"open", "error Open error", "wait 1", "box"}));

  boxes.clear();
  EXPECT_FALSE(tbl::LNETUSE("busy.dbf", false, 1.0, std::nullopt, false));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(NetUse, SharedUnlessExclusiveAndNeverReadOnly) {
  ASSERT_TRUE(tbl::LNETUSE("clientes.dbf"));
  ASSERT_TRUE(tbl::LNETUSE("clientes.dbf", true, std::nullopt, std::string("excl")));
  ASSERT_TRUE(tbl::LNETUSE("clientes.dbf", false, std::nullopt, std::string("otra")));
  ASSERT_EQ(ads->opens.size(), 3u);
  EXPECT_TRUE(ads->opens[0].shared);
  EXPECT_FALSE(ads->opens[1].shared);
  EXPECT_TRUE(ads->opens[2].shared);
  for (const auto& o : ads->opens) EXPECT_FALSE(o.read_only);
  EXPECT_EQ(ads->opens[1].alias, "EXCL");
  EXPECT_EQ(tbl::SELECT(), 3);
}

TEST_F(NetUse, AreaLeftAfterSuccessAndAfterFailure) {
  ASSERT_TRUE(tbl::LNETUSE("clientes.dbf"));
  EXPECT_EQ(tbl::SELECT(), 1);
  // Failure in a new area: the empty area of the last attempt is current.
  busy->refuse_opens = -1;
  EXPECT_FALSE(tbl::LNETUSE("busy.dbf"));
  EXPECT_EQ(tbl::SELECT(), 2);
  EXPECT_EQ(tbl::ALIAS(), "");
  // A negative budget leaves the current area alone.
  tbl::DBSELECTAREA(Value::numeric(1));
  EXPECT_FALSE(tbl::LNETUSE("busy.dbf", std::nullopt, -1.0));
  EXPECT_EQ(tbl::SELECT(), 1);
  EXPECT_EQ(tbl::ALIAS(), "CLIENTES");
  // Without a new area the current table is closed, also when the open fails.
  EXPECT_FALSE(tbl::LNETUSE("busy.dbf", std::nullopt, std::nullopt, std::nullopt, false, Value(), false));
  EXPECT_EQ(tbl::SELECT(), 1);
  EXPECT_EQ(tbl::ALIAS(), "");
}

TEST_F(NetUse, EngineFaultsReachTheHandler) {
  tbl::LNETUSE("clientes.dbf");
  EXPECT_FALSE(tbl::LNETUSE("clientes.dbf", std::nullopt, std::nullopt, std::nullopt, false));
  EXPECT_EQ(error_descriptions(), std::vector<std::string>{"Alias already in use"});
}

// The production-index step on real files. Natively a backslash is an ordinary
// character of a file name, so "DATOS\CLIENTES.dbf" is one file in the current
// folder, and "\CLIENTES.dbf" stands for the table in the root folder; the tests
// work in a folder of their own.
class ProductionIndex : public NetUse {
 protected:
  void SetUp() override {
    NetUse::SetUp();
    mdx = std::make_shared<FakeDriver>(&log, ".MDX");
    tbl::register_table_driver("DBFMDX", mdx);
  }
  void TearDown() override {
    tbl::unregister_table_driver("DBFMDX");
    NetUse::TearDown();
  }
  std::shared_ptr<FakeDriver> mdx;
};

std::string header_bytes() {
  std::string h(40, '\x11');
  h[0] = '\x03';
  h[28] = '\x01';
  return h;
}

std::string cleared_header() {
  std::string h = header_bytes();
  h[28] = '\0';
  return h;
}

std::string read_all(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void write_all(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

#ifdef _WIN32
const std::string kFolder = "c:\\tables_test_mdx\\";
const std::string kDiskFolder = "C:\\TABLES_TEST_MDX\\";
#else
const std::string kFolder = "datos\\";
const std::string kDiskFolder = "DATOS\\";
#endif
const std::string kName = kFolder + "clientes.dbf";
const std::string kTable = kDiskFolder + "CLIENTES.dbf";
const std::string kIndex = kDiskFolder + "CLIENTES.MDX";
const std::string kRootTable = "\\CLIENTES.dbf";

class ProductionIndexFile : public ProductionIndex {
 protected:
  void SetUp() override {
    ProductionIndex::SetUp();
#ifdef _WIN32
    std::filesystem::create_directories(kDiskFolder);
#else
    saved_dir_ = std::filesystem::current_path();
    dir_ = std::filesystem::temp_directory_path() / ("tables_test_mdx_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    std::filesystem::current_path(dir_);
#endif
    std::remove(kIndex.c_str());
    write_all(kTable, header_bytes());
    tbl::set_default_table_driver("DBFMDX");
  }
  void TearDown() override {
    for (const auto& f : {kTable, kIndex, kRootTable, kDiskFolder + "CLIENTES.2010.dbf"}) std::remove(f.c_str());
#ifndef _WIN32
    std::filesystem::current_path(saved_dir_);
    std::filesystem::remove_all(dir_);
#endif
    ProductionIndex::TearDown();
  }
#ifndef _WIN32
  std::filesystem::path saved_dir_, dir_;
#endif
};

TEST_F(ProductionIndexFile, ClearsTheFlagWhenTheIndexIsMissing) {
  mdx->add_table(kName, five_fields());
  EXPECT_TRUE(tbl::LNETUSE(kName));
  EXPECT_EQ(read_all(kTable), cleared_header());
  // Without extension the open uses the same file.
  write_all(kTable, header_bytes());
  tbl::LNETUSE(kFolder + "clientes", std::nullopt, -1.0, std::nullopt, false);
  EXPECT_EQ(read_all(kTable), cleared_header());
}

TEST_F(ProductionIndexFile, RunsEvenWithANegativeBudget) {
  EXPECT_FALSE(tbl::LNETUSE(kName, std::nullopt, -1.0, std::nullopt, false));
  EXPECT_EQ(read_all(kTable), cleared_header());
}

TEST_F(ProductionIndexFile, LeavesTheFileAloneOtherwise) {
  // An index file present.
  write_all(kIndex, "x");
  tbl::LNETUSE(kName, std::nullopt, -1.0, std::nullopt, false);
  EXPECT_EQ(read_all(kTable), header_bytes());
  std::remove(kIndex.c_str());
  // Another extension in force (".cdx" as at start-up), or ".mdx" in lower case.
  tbl::set_default_table_driver("ADS");
  tbl::LNETUSE(kName, std::nullopt, -1.0, std::nullopt, false);
  tbl::register_table_driver("DBFMDX", std::make_shared<FakeDriver>(&log, ".mdx"));
  tbl::set_default_table_driver("DBFMDX");
  tbl::LNETUSE(kName, std::nullopt, -1.0, std::nullopt, false);
  EXPECT_EQ(read_all(kTable), header_bytes());
}

TEST_F(ProductionIndexFile, NeverWritesAnotherTableThanTheOneOpened) {
  // A name without folder points the step at the root folder's table of that
  // name, and a second dot cuts the base name short: neither is the table opened.
  write_all(kRootTable, header_bytes());
  tbl::LNETUSE("clientes.dbf", std::nullopt, -1.0, std::nullopt, false);
  tbl::LNETUSE(kFolder + "clientes.2010.dbf", std::nullopt, -1.0, std::nullopt, false);
  EXPECT_EQ(read_all(kRootTable), header_bytes());
  EXPECT_EQ(read_all(kTable), header_bytes());
}

TEST_F(ProductionIndexFile, NeverGrowsAFileTooShortForTheFlag) {
  write_all(kTable, "short");
  tbl::LNETUSE(kName, std::nullopt, -1.0, std::nullopt, false);
  EXPECT_EQ(read_all(kTable), "short");
}

}  // namespace
}  // namespace tbltest
