// The install button end to end: which installations receive the help file, and the
// message the user is left with once the dialog has closed.
#include <gtest/gtest.h>

#include <set>

#include "installation_tree_win32.h"
#include "installer_scenario_win32.h"
#include "uidriver/file_tree_win32.h"
#include "uidriver/scenario_drive_win32.h"
#include "uidriver/screenshot_win32.h"
#include "uidriver/windows_win32.h"

namespace e2e {
namespace {

const std::string kHelp = std::string("ITSF help \x00\x01 content", 20);

// Runs the installer with `help_path`, chooses the scenario's drive, presses install
// (twice: the second press must be ignored) and returns the message box it ends with.
struct InstallRun {
  std::string folder = fresh_folder();
  Process program;
  MessageBoxView box;

  InstallRun(const ScenarioDrive& drive, const std::string& help_path)
      : program(built_installer(), help_path, folder) {
    HWND dialog = wait_for_main_dialog(program);
    if (!dialog) return;
    choose_combo_item(dialog, kDriveBox, drive.drive_box_index());
    HWND install = GetDlgItem(dialog, kInstall);
    press(install);
    press(install);
    box = wait_for_message_box(program);
    // The dialog is ended before the box opens; if its window still exists it is hidden,
    // with the drive box and both buttons disabled.
    if (box.window && IsWindow(dialog)) {
      EXPECT_FALSE(IsWindowVisible(dialog));
      for (int id : {kDriveBox, kInstall, kExit})
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, id))) << "control " << id;
    }
  }

  // Closes the box; the program must then end with code 0 and show nothing more.
  void finish() {
    ASSERT_NE(nullptr, box.window);
    ASSERT_TRUE(close_message_box(box));
    const QuietExit result = wait_exit_watching_windows(program);
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(0u, result.code);
    EXPECT_FALSE(result.showed_message_box) << "a second message box";
  }
};

std::set<std::string> folders_with_copy(const ScenarioDrive& drive,
                                        const std::set<std::string>& candidates) {
  std::set<std::string> found;
  for (const auto& name : candidates)
    if (read_file(drive.path("Halvoren\\" + name + "\\brevantpro.chm")) == kHelp) found.insert(name);
  return found;
}

TEST(Install, CopiesIntoEveryValidInstallationAndPassesOverTheDecoys) {
  ScenarioDrive drive(scenario_name());
  write_file(drive.path("ayuda.chm"), kHelp);
  const std::set<std::string> valid = {"Oficina", "Almacen", "Acc", "Acc2", "Release12"};
  for (const auto& name : valid) make_installation(drive, name);
  make_installation(drive, "Release12", {kExecutableSize, version_table("2010/12")});
  write_file(drive.path("Halvoren\\Almacen\\brevantpro.chm"), "an older help file");

  InstallationParts other_release;
  other_release.table = version_table("2009/4");
  InstallationParts one_byte_more, one_byte_less, exe_folder, table_folder, empty_table, no_table;
  one_byte_more.executable_size = kExecutableSize + 1;
  one_byte_less.executable_size = kExecutableSize - 1;
  exe_folder.executable_is_folder = true;
  table_folder.table_is_folder = true;
  empty_table.table = "";
  no_table.without_table = true;
  const std::set<std::string> decoys = {"Anterior",   "Grande",     "Chica",      "ExeCarpeta",
                                        "TablaCarpeta", "TablaVacia", "SinTabla",   "Oculta",
                                        "ExeOculto",  "ExeSistema"};
  make_installation(drive, "Anterior", other_release);
  make_installation(drive, "Grande", one_byte_more);
  make_installation(drive, "Chica", one_byte_less);
  make_installation(drive, "ExeCarpeta", exe_folder);
  make_installation(drive, "TablaCarpeta", table_folder);
  make_installation(drive, "TablaVacia", empty_table);
  make_installation(drive, "SinTabla", no_table);
  add_attributes(make_installation(drive, "Oculta"), FILE_ATTRIBUTE_HIDDEN);
  add_attributes(make_installation(drive, "ExeOculto") + "\\brevantw.exe", FILE_ATTRIBUTE_HIDDEN);
  add_attributes(make_installation(drive, "ExeSistema") + "\\brevantw.exe", FILE_ATTRIBUTE_SYSTEM);
  // A hidden file listed first must not end the listing; a plain file leads nowhere.
  write_file(drive.path("Halvoren\\0oculto.txt"), "x");
  add_attributes(drive.path("Halvoren\\0oculto.txt"), FILE_ATTRIBUTE_HIDDEN);
  write_file(drive.path("Halvoren\\leeme.txt"), "x");

  InstallRun run(drive, drive.path("ayuda.chm"));
  ASSERT_NE(nullptr, run.box.window) << "no message box";
  EXPECT_EQ(kSuccessTitle, run.box.title);
  EXPECT_EQ(kSuccessText, run.box.text);
  save_screenshot(run.box.window, "success-box");
  run.finish();

  std::set<std::string> all = valid;
  all.insert(decoys.begin(), decoys.end());
  EXPECT_EQ(valid, folders_with_copy(drive, all));
  EXPECT_FALSE(path_exists(drive.path("Halvoren\\brevantpro.chm")));
}

struct NothingFoundCase {
  const char* name;
  bool with_maker_folder;
};

class NothingFound : public ::testing::TestWithParam<NothingFoundCase> {};

TEST_P(NothingFound, SaysSoAndCopiesNothing) {
  ScenarioDrive drive(scenario_name());
  write_file(drive.path("ayuda.chm"), kHelp);
  if (GetParam().with_maker_folder) {
    InstallationParts other_release;
    other_release.table = version_table("2011/1");
    make_installation(drive, "Anterior", other_release);
  }
  InstallRun run(drive, drive.path("ayuda.chm"));
  ASSERT_NE(nullptr, run.box.window) << "no message box";
  EXPECT_EQ(kAttentionTitle, run.box.title);
  EXPECT_EQ(kNothingFoundText, run.box.text);
  if (GetParam().with_maker_folder) save_screenshot(run.box.window, "nothing-found-box");
  run.finish();
  EXPECT_TRUE(folders_with_copy(drive, {"Anterior"}).empty());
}

INSTANTIATE_TEST_SUITE_P(Drives, NothingFound,
                         ::testing::Values(NothingFoundCase{"NoMakerFolder", false},
                                           NothingFoundCase{"OnlyAnotherRelease", true}),
                         CaseName());

// A copy that fails must not be reported as success: the user is told where it failed.
struct CopyFailureCase {
  const char* name;
  bool help_exists;
  std::set<std::string> blocked_targets;  // a folder stands where the copy would go
  std::set<std::string> expect_failed;
};

class CopyFailure : public ::testing::TestWithParam<CopyFailureCase> {};

TEST_P(CopyFailure, AlertNamesTheInstallationsWithoutTheHelp) {
  const CopyFailureCase& c = GetParam();
  ScenarioDrive drive(scenario_name());
  if (c.help_exists) write_file(drive.path("ayuda.chm"), kHelp);
  const std::set<std::string> valid = {"Almacen", "Oficina"};
  for (const auto& name : valid) {
    const std::string folder = make_installation(drive, name);
    if (c.blocked_targets.count(name)) make_dirs(folder + "\\brevantpro.chm");
  }

  InstallRun run(drive, drive.path("ayuda.chm"));
  ASSERT_NE(nullptr, run.box.window) << "no message box";
  EXPECT_EQ(kAttentionTitle, run.box.title);
  EXPECT_EQ(std::string::npos, run.box.text.find("correctamente")) << run.box.text;
  for (const auto& name : valid) {
    const bool named = run.box.text.find(drive.path("Halvoren\\" + name)) != std::string::npos;
    EXPECT_EQ(c.expect_failed.count(name) > 0, named) << name << " in: " << run.box.text;
  }
  if (!c.help_exists) save_screenshot(run.box.window, "copy-failed-box");
  run.finish();

  std::set<std::string> copied;
  for (const auto& name : valid)
    if (!c.expect_failed.count(name)) copied.insert(name);
  EXPECT_EQ(copied, folders_with_copy(drive, valid));
}

INSTANTIATE_TEST_SUITE_P(
    Copies, CopyFailure,
    ::testing::Values(CopyFailureCase{"HelpFileMissing", false, {}, {"Almacen", "Oficina"}},
                      CopyFailureCase{"TargetIsAFolder", true, {"Oficina"}, {"Oficina"}}),
    CaseName());

}  // namespace
}  // namespace e2e
