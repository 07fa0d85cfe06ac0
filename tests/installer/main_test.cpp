// MAIN and the run around it, with the dialog and the client engine replaced by
// recorders.
#include <gtest/gtest.h>

#include "ace_entries.h"
#include "ads_driver.h"
#include "drivers.h"
#include "main.h"
#include "main_dialog.h"
#include "module_state.h"
#include "platform/resources_posix.h"
#include "platform/settings.h"
#include "startup.h"

namespace {

std::vector<std::string> g_calls;  // engine entries and the dialog, in call order

struct DialogSeen {
  inst::MainValues values;
  inst::ModuleState state;
  plat::Settings settings;
  std::string default_driver;
  int file_type = 0;
  std::vector<std::string> resources;
  std::string variables;
};
std::vector<DialogSeen> g_dialogs;

uint32_t rec_exit() { g_calls.push_back("3"); return 0; }
uint32_t rec_date(const char* f) { g_calls.push_back(std::string("135 ") + f); return 0; }
uint32_t rec_epoch(uint16_t e) { g_calls.push_back("140 " + std::to_string(e)); return 0; }
uint32_t rec_deleted(uint16_t s) { g_calls.push_back("156 " + std::to_string(s)); return 0; }
uint32_t rec_server(uint16_t t) { g_calls.push_back("201 " + std::to_string(t)); return 0; }

class MainTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = tbl::ace_entries();
    tbl::ace_entries() = {rec_exit, rec_date, rec_epoch, rec_deleted, rec_server};
    g_calls.clear();
    g_dialogs.clear();
    plat::requested_resource_libraries().clear();
  }
  void TearDown() override {
    tbl::shutdown_drivers();
    tbl::ace_entries() = saved_;
  }
  tbl::AceEntries saved_{};
};

TEST_F(MainTest, PreparesEverythingThenRunsTheDialogAndEnds) {
  EXPECT_EQ(inst::run_program("ayudainst.exe //X C:\\ayuda.chm otra", "C:\\bin\\ayudainst.exe"), 0);

  EXPECT_EQ(g_calls, (std::vector<std::string>{"201 1", "140 1950", "135 dd-mm-yy", "156 0", "dialog", "3"}));
  ASSERT_EQ(g_dialogs.size(), 1u);
  const DialogSeen& d = g_dialogs[0];
  EXPECT_EQ(d.values.help_path, "C:\\ayuda.chm");
  ASSERT_EQ(d.values.prompt_list.size(), 1u);
  EXPECT_EQ(d.values.prompt_list[0],
            "Este proceso instala la Ayuda de BREVANT PROFESIONAL v.2010 Release 03.\n\r\n\r"
            "Por favor, seleccione UNIDAD de proceso :");
  EXPECT_EQ(d.values.button_pair, (std::array<plat::Control*, 2>{nullptr, nullptr}));
  EXPECT_EQ(d.state.close_allowed, std::optional<bool>(false));
  EXPECT_EQ(d.state.selected_drive, "C");
  EXPECT_EQ(d.state.static_text_holder, std::vector<plat::Control*>{nullptr});
  const std::vector<std::string> letters = {"C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M", "N",
                                            "O", "P", "Q", "R", "S", "T", "U", "V", "X", "Y", "Z"};
  EXPECT_EQ(d.state.drive_letters, letters);
  EXPECT_EQ(d.settings.date_format, "dd-mm-yy");
  EXPECT_EQ(d.settings.epoch, 1950);
  EXPECT_TRUE(d.settings.deleted_filter);
  EXPECT_FALSE(d.settings.century);
  EXPECT_EQ(d.default_driver, "ADS");
  EXPECT_EQ(d.file_type, 2);
  EXPECT_EQ(d.resources, std::vector<std::string>{"progdll.dll"});
  // What an error report would show of the routines' variables while the dialog runs.
  EXPECT_NE(d.variables.find("MAIN help-file path: \"C:\\ayuda.chm\""), std::string::npos) << d.variables;
  EXPECT_NE(d.variables.find("close-allowed flag: .F."), std::string::npos) << d.variables;
  EXPECT_NE(d.variables.find("selected drive: \"C\""), std::string::npos) << d.variables;
  EXPECT_EQ(inst::describe_variables().find("MAIN"), std::string::npos);
  // The drivers are gone and the engine no longer hears the settings.
  EXPECT_TRUE(tbl::registered_drivers().empty());
  plat::SET_EPOCH(1900);
  EXPECT_EQ(g_calls.back(), "3");
}

TEST_F(MainTest, BlankArgumentEndsAtOnceWithNothingDone) {
  const char* lines[] = {"ayudainst.exe", "ayudainst.exe   ", "ayudainst.exe //X", "ayudainst.exe //",
                         "ayudainst.exe //X \t\t", "ayudainst.exe //X \r\n"};
  for (const char* line : lines) {
    SCOPED_TRACE(line);
    g_calls.clear();
    EXPECT_EQ(inst::run_program(line, "C:\\bin\\ayudainst.exe"), 0);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_TRUE(g_dialogs.empty());
    EXPECT_TRUE(plat::requested_resource_libraries().empty());
    EXPECT_FALSE(inst::module_state().close_allowed.has_value());
    EXPECT_TRUE(inst::module_state().drive_letters.empty());
    EXPECT_EQ(plat::settings().date_format, "mm/dd/yy");
  }
  inst::MAIN(std::nullopt);
  EXPECT_TRUE(g_dialogs.empty());
}

TEST_F(MainTest, StartRegistersTheTextDriversBeforeMain) {
  inst::start_program("C:\\bin\\ayudainst.exe", {});
  const auto drivers = tbl::registered_drivers();
  ASSERT_EQ(drivers.size(), 3u);
  EXPECT_EQ(drivers[0].name, "DELIM");
  EXPECT_EQ(drivers[1].name, "SDF");
  EXPECT_EQ(drivers[2].name, "DBF");
  EXPECT_EQ(drivers[2].kind, 1);
  EXPECT_EQ(tbl::DBSETDRIVER(), "");
  // Without "ADS" nothing reaches the engine, now or at the end.
  plat::SET_EPOCH(1950);
  inst::end_program();
  EXPECT_TRUE(g_calls.empty());
}

TEST_F(MainTest, AdsFileTypeTakesOnlyOneToThree) {
  EXPECT_EQ(tbl::file_type_for_index_format("ntx"), 1);
  EXPECT_EQ(tbl::file_type_for_index_format("CDX"), 2);
  EXPECT_EQ(tbl::file_type_for_index_format("CDX "), 3);
  tbl::ADSSETFILETYPE(2);
  for (int bad : {0, 4, -1}) tbl::ADSSETFILETYPE(bad);
  EXPECT_EQ(tbl::ads_file_type(), 2);
  EXPECT_STREQ(tbl::ads_table_kind(), "ADSCDX");
  tbl::ADSSETFILETYPE(3);
  EXPECT_STREQ(tbl::ads_index_extension(), ".adi");
  EXPECT_STREQ(tbl::ads_table_extension(), ".adt");
  tbl::ADSSETFILETYPE(2);
}

}  // namespace

// The main dialog, replaced: it notes what it was given and what was in place.
void inst::run_main_dialog(inst::MainValues& v) {
  g_calls.push_back("dialog");
  g_dialogs.push_back({v, inst::module_state(), plat::settings(), tbl::DBSETDRIVER(), tbl::ads_file_type(),
                       plat::requested_resource_libraries(), inst::describe_variables()});
}
