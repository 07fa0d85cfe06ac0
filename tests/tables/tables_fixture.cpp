#include "tables_fixture.h"

#include <sstream>

#include "tables/driver_catalog.h"
#include "tables/net_error.h"
#include "tables/table_operations.h"
#include "tables/workareas.h"

namespace tbltest {

void TablesTest::SetUp() {
  ads = std::make_shared<FakeDriver>(&log);
  tbl::register_table_driver("ADS", ads);
  tbl::set_default_table_driver("ADS");
  tbl::workspace().close_all();
  tbl::workspace().select(1);
  tbl::set_neterr(false);
  tbl::set_unique_setting(false);

  saved_handler_ = plat::set_error_handler([this](const plat::Error& e) {
    errors.push_back(e);
    log.add("error " + plat::error_description(e));
    // The quiet cases of the application's handler.
    const bool refused_open = e.gen_code == plat::EG_OPEN && (e.os_code == 32 || e.os_code == 5);
    if ((refused_open || e.gen_code == plat::EG_APPENDLOCK) && e.can_default) tbl::set_neterr(true);
    return plat::ErrorAnswer::Default;
  });
  saved_presenter_ = plat::set_message_box_presenter([this](const plat::MessageBoxRequest& r) {
    boxes.push_back(r);
    log.add("box");
  });
  saved_clock_ = tbl::set_wait_clock({[this] { return fake_now; },
                                      [this](double s) {
                                        std::ostringstream o;
                                        o << "wait " << s;
                                        log.add(o.str());
                                        fake_now += s;
                                      }});
  saved_refresh_ = plat::set_sys_refresh_hook([this] { log.add("refresh"); });
}

void TablesTest::TearDown() {
  tbl::workspace().close_all();
  tbl::workspace().select(1);
  tbl::unregister_table_driver("ADS");
  tbl::unregister_table_driver("DBFNTX");
  tbl::set_default_table_driver("");
  plat::set_error_handler(saved_handler_);
  plat::set_message_box_presenter(saved_presenter_);
  tbl::set_wait_clock(saved_clock_);
  plat::set_sys_refresh_hook(saved_refresh_);
}

std::vector<std::string> TablesTest::error_descriptions() const {
  std::vector<std::string> out;
  for (const auto& e : errors) out.push_back(plat::error_description(e));
  return out;
}

std::vector<FakeField> five_fields() {
  return {{"NOMBRE", 'C', 10, 0}, {"SALDO", 'N', 10, 2}, {"ALTA", 'D', 8, 0}, {"ACTIVO", 'L', 1, 0},
          {"NOTAS", 'M', 10, 0}};
}

std::vector<Value> sample_record(const std::string& name) {
  return {Value::character(name), Value::numeric(12.5, 10, 2), Value::date(2455198), Value::logical(true),
          Value::memo("nota")};
}

}  // namespace tbltest
