// The install run against real maker folders on this program's own drive.
#include <gtest/gtest.h>
#include <windows.h>

#include "messages.h"
#include "module_state.h"
#include "revayuda.h"
#include "win32_tree.h"

namespace {

using namespace win32_tree;

struct NullControl : plat::Control {
  void Disable() override {}
  void Refresh() override {}
};
struct EndingDialog : plat::DialogControl {
  bool ended = false;
  bool End(int) override { return ended = inst::module_state().close_allowed.value_or(false); }
};

class Win32InstallRun : public ::testing::Test {
 protected:
  void SetUp() override {
    drive_ = test_drive();
    ASSERT_FALSE(drive_.empty()) << "run through run_on_drive.sh";
    maker_ = drive_ + "\\Halvoren";
    help_ = drive_ + "\\ayuda.chm";
    remove_tree(maker_);
    make_dir(maker_);
    write_file(help_, "help file");
  }
  void TearDown() override {
    remove_tree(maker_);
    remove_tree(help_);
  }

  // One run on the given drive letter; returns the message shown.
  inst::Outcome run(const std::string& drive_letter, const std::string& help) {
    inst::reset_module_state();
    inst::module_state().selected_drive = drive_letter;
    inst::module_state().close_allowed = false;
    NullControl box, install, exit_button;
    EndingDialog dialog;
    std::array<plat::Control*, 2> buttons{&install, &exit_button};
    std::vector<inst::Outcome> shown;
    inst::run_install(help, box, buttons, dialog, plat::system_files(), [&](const inst::Outcome& o) {
      EXPECT_TRUE(dialog.ended) << "the dialog ends before the message";
      shown.push_back(o);
    });
    EXPECT_EQ(shown.size(), 1u);
    return shown.empty() ? inst::Outcome{} : shown[0];
  }
  std::string letter() const { return drive_.substr(0, 1); }
  bool copied(const std::string& folder) const {
    return read_file(maker_ + "\\" + folder + "\\brevantpro.chm") == "help file";
  }

  std::string drive_, maker_, help_;
};

TEST_F(Win32InstallRun, CopiesIntoEveryValidInstallationAndNoDecoy) {
  make_installation(maker_ + "\\Oficina");
  make_installation(maker_ + "\\Almac\xE9n");
  make_installation(maker_ + "\\Acc2");
  make_installation(maker_ + "\\Acc");
  make_installation(maker_ + "\\Nueva", "version v.2010/12");  // marker inside a longer text
  write_file(maker_ + "\\Almac\xE9n\\brevantpro.chm", "old help");

  struct Decoy {
    const char* name;
    void (*spoil)(const std::string& folder);
  };
  const Decoy decoys[] = {
      {"OtraVersion", [](const std::string& f) { write_file(f + "\\emp\\versionp.dbf", "2009/4"); }},
      {"Corto", [](const std::string& f) { make_sized(f + "\\brevantw.exe", 6750207); }},
      {"Largo", [](const std::string& f) { make_sized(f + "\\brevantw.exe", 6750209); }},
      {"Oculta", [](const std::string& f) { set_attributes(f, FILE_ATTRIBUTE_HIDDEN); }},
      {"Sistema", [](const std::string& f) { set_attributes(f, FILE_ATTRIBUTE_SYSTEM); }},
      {"ExeOculto", [](const std::string& f) { set_attributes(f + "\\brevantw.exe", FILE_ATTRIBUTE_HIDDEN); }},
      {"ExeCarpeta",
       [](const std::string& f) {
         DeleteFileA((f + "\\brevantw.exe").c_str());
         make_dir(f + "\\brevantw.exe");
       }},
      {"TablaVacia", [](const std::string& f) { write_file(f + "\\emp\\versionp.dbf", ""); }},
      {"TablaCarpeta",
       [](const std::string& f) {
         DeleteFileA((f + "\\emp\\versionp.dbf").c_str());
         make_dir(f + "\\emp\\versionp.dbf");
       }},
      {"SinTabla", [](const std::string& f) { DeleteFileA((f + "\\emp\\versionp.dbf").c_str()); }},
  };
  for (const Decoy& d : decoys) {
    make_installation(maker_ + "\\" + d.name);
    d.spoil(maker_ + "\\" + d.name);
  }
  write_file(maker_ + "\\plain.txt", "a plain file");

  const inst::Outcome o = run(letter(), help_);
  EXPECT_EQ(o.icon, plat::BoxIcon::Information);
  EXPECT_EQ(o.text, inst::text::kInstalled);
  EXPECT_EQ(o.title, inst::text::kInstalledTitle);
  for (const char* valid : {"Oficina", "Almac\xE9n", "Acc2", "Acc", "Nueva"}) EXPECT_TRUE(copied(valid)) << valid;
  for (const Decoy& d : decoys) EXPECT_FALSE(exists(maker_ + "\\" + d.name + "\\brevantpro.chm")) << d.name;
  EXPECT_FALSE(exists(maker_ + "\\brevantpro.chm"));
}

TEST_F(Win32InstallRun, InstallationInTheMakerFolderItselfIsFoundThroughDot) {
  make_dir(maker_ + "\\emp");
  make_sized(maker_ + "\\brevantw.exe", 6750208);
  write_file(maker_ + "\\emp\\versionp.dbf", "2010/1");
  run(letter(), help_);
  EXPECT_EQ(read_file(maker_ + "\\brevantpro.chm"), "help file");
}

TEST_F(Win32InstallRun, LockedVersionTableIsPassedOver) {
  make_installation(maker_ + "\\Oficina");
  HANDLE locker = CreateFileA((maker_ + "\\Oficina\\emp\\versionp.dbf").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(locker, INVALID_HANDLE_VALUE);
  const inst::Outcome o = run(letter(), help_);
  CloseHandle(locker);
  EXPECT_EQ(o.text, inst::text::kNothingFound);
  EXPECT_FALSE(exists(maker_ + "\\Oficina\\brevantpro.chm"));
}

TEST_F(Win32InstallRun, NothingFoundWithoutMakerFolderOrDrive) {
  remove_tree(maker_);
  for (const std::string& d : {letter(), unused_drive().substr(0, 1)}) {
    const inst::Outcome o = run(d, help_);
    EXPECT_EQ(o.text, inst::text::kNothingFound);
    EXPECT_EQ(o.title, inst::text::kNothingFoundTitle);
  }
}

TEST_F(Win32InstallRun, FailedCopiesAreNamedAndGoodOnesStay) {
  make_installation(maker_ + "\\Oficina");
  make_installation(maker_ + "\\Taller");
  make_dir(maker_ + "\\Taller\\brevantpro.chm");  // a folder in the target's place
  inst::Outcome o = run(letter(), help_);
  EXPECT_TRUE(copied("Oficina"));
  EXPECT_EQ(o.icon, plat::BoxIcon::Exclamation);
  EXPECT_EQ(o.title, " Atenci\xF3n");
  EXPECT_EQ(o.text, std::string(inst::text::kCopyFailedHead) + "\n\r\n\r" + drive_ + "\\Halvoren\\Taller");

  // A help-file path that names no file: every installation is named.
  o = run(letter(), drive_ + "\\nada.chm");
  EXPECT_EQ(o.icon, plat::BoxIcon::Exclamation);
  EXPECT_NE(o.text.find("\\Halvoren\\Oficina"), std::string::npos);
  EXPECT_NE(o.text.find("\\Halvoren\\Taller"), std::string::npos);
}

}  // namespace
