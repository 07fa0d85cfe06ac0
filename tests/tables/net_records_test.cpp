#include <gtest/gtest.h>

#include "tables/net_error.h"
#include "tables/net_routines.h"
#include "tables/table_operations.h"
#include "tables_fixture.h"

namespace tbltest {
namespace {

using tbl::Value;

class NetRecords : public TablesTest {
 protected:
  void SetUp() override {
    TablesTest::SetUp();
    data = ads->add_table("clientes.dbf", five_fields(), {sample_record(), sample_record()});
    ASSERT_TRUE(tbl::LNETUSE("clientes.dbf"));
    tbl::DBGOTO(1);
    log.clear();
  }
  std::shared_ptr<FakeTableData> data;
};

struct BudgetCase {
  std::optional<double> seconds;
  int attempts;  // -1: until success
};

const BudgetCase kBudgets[] = {{std::nullopt, 3}, {1, 3}, {2, 5}, {0.5, 2}, {-1, 1}, {0.75, 3}, {-0.25, 1}};

TEST_F(NetRecords, LockBudgetGivesAttemptsWaitsAndOneRefreshBeforeEachWait) {
  data->held_by_others = {1};
  for (const auto& c : kBudgets) {
    log.clear();
    boxes.clear();
    EXPECT_FALSE(tbl::LNETRECLOCK(c.seconds));
    const int waits = c.attempts - 1;
    EXPECT_EQ(log.count("lock 1"), c.attempts) << c.seconds.value_or(99);
    EXPECT_EQ(log.count("wait 0.5"), waits) << c.seconds.value_or(99);
    EXPECT_EQ(log.count("refresh"), waits);
    for (size_t i = 0; i < log.events().size(); ++i) {
      if (log.events()[i] == "wait 0.5") {
        EXPECT_EQ(log.events()[i - 1], "refresh");
      }
    }
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "El registro que se intenta procesar est\xE1 bloqueado");
    EXPECT_EQ(boxes[0].title, "Acceso denegado");
    EXPECT_EQ(boxes[0].icon, plat::BoxIcon::Exclamation);
  }
}

TEST_F(NetRecords, LockAtOnceNeitherWaitsNorProcessesMessages) {
  EXPECT_TRUE(tbl::LNETRECLOCK());
  EXPECT_EQ(log.events(), std::vector<std::string>{"lock 1"});
}

TEST_F(NetRecords, LockWithoutLimitWaitsForTheOtherUser) {
  data->held_by_others = {1};
  // The other user lets go while this one waits.
  int refreshes = 0;
  plat::set_sys_refresh_hook([&] {
    if (++refreshes == 7) data->held_by_others.clear();
  });
  EXPECT_TRUE(tbl::LNETRECLOCK(0.0));
  EXPECT_EQ(log.count("lock 1"), 9);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(NetRecords, LockAttemptsFollowTheAreaMessageHandlersLeaveCurrent) {
  tbl::DBGOTO(2);
  // A message handler that changes the current area during the wait: the next
  // attempt acts on the new area, which holds no table.
  data->held_by_others = {2};
  plat::set_sys_refresh_hook([] { tbl::DBSELECTAREA(Value::numeric(9)); });
  EXPECT_FALSE(tbl::LNETRECLOCK(1.0));
  EXPECT_EQ(error_descriptions(), std::vector<std::string>{"Workarea not in use"});
}

TEST_F(NetRecords, AppendBudgetGivesAttemptsAndWaitsWithoutMessage) {
  data->refuse_appends = -1;
  for (const auto& c : kBudgets) {
    log.clear();
    EXPECT_FALSE(tbl::LNETRECADD(c.seconds));
    EXPECT_EQ(log.count("append"), c.attempts) << c.seconds.value_or(99);
    EXPECT_EQ(log.count("wait 0.5"), c.attempts - 1) << c.seconds.value_or(99);
    EXPECT_EQ(log.count("refresh"), 0);
  }
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(data->records.size(), 2u);
}

TEST_F(NetRecords, AppendIsJudgedByTheIndicatorAlone) {
  // The lock after the append fails (another user grabbed the new record), yet
  // the append counts.
  data->held_by_others = {3};
  EXPECT_TRUE(tbl::LNETRECADD());
  EXPECT_EQ(log.events(), (std::vector<std::string>{"append", "lock 3"}));
  EXPECT_EQ(tbl::RECNO(), 3u);
  EXPECT_EQ(data->records.size(), 3u);
}

TEST_F(NetRecords, AppendWithoutLimitRetriesUntilTheEngineAllowsIt) {
  data->refuse_appends = 4;
  EXPECT_TRUE(tbl::LNETRECADD(0.0));
  EXPECT_EQ(log.count("append"), 5);
  EXPECT_EQ(log.count("lock 1"), 4);  // each failed attempt locks what is current
  EXPECT_EQ(log.count("lock 3"), 1);
  EXPECT_EQ(data->records.size(), 3u);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(NetRecords, AppendOnAFreeAreaFails) {
  tbl::DBSELECTAREA(Value::numeric(4));
  EXPECT_FALSE(tbl::LNETRECADD(-1.0));
  EXPECT_EQ(error_descriptions(), (std::vector<std::string>{"Workarea not in use", "Workarea not in use"}));
  EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace tbltest
