// The common ground of the routines' tests: a fake "ADS" driver as the default, a
// recording error handler that answers as the application's handler does, a
// recording message-box presenter, a fake clock and a counted SYSREFRESH, all
// writing to one event log.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fake_driver.h"
#include "platform/error.h"
#include "platform/message_box.h"
#include "platform/sys_refresh.h"
#include "tables/segundos.h"

namespace tbltest {

class TablesTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Descriptions of the errors raised, in order.
  std::vector<std::string> error_descriptions() const;

  EventLog log;
  std::shared_ptr<FakeDriver> ads;
  std::vector<plat::Error> errors;
  std::vector<plat::MessageBoxRequest> boxes;
  double fake_now = 0;

 private:
  plat::ErrorHandler saved_handler_;
  plat::MessageBoxPresenter saved_presenter_;
  tbl::WaitClock saved_clock_;
  plat::RefreshHook saved_refresh_;
};

// A small table of five fields: C, N, D, L, M.
std::vector<FakeField> five_fields();
// A record for five_fields() with that (OEM) name.
std::vector<Value> sample_record(const std::string& name = "ANA       ");

}  // namespace tbltest
