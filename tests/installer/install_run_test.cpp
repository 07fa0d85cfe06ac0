#include <gtest/gtest.h>

#include <array>

#include "fake_file_system.h"
#include "install_search.h"
#include "messages.h"
#include "module_state.h"
#include "revayuda.h"

namespace {

using testing_support::FakeFileSystem;

const std::string kRoot = "C:\\Halvoren\\";

struct Log {
  std::vector<std::string> events;
};

class FakeControl : public plat::Control {
 public:
  FakeControl(Log& log, std::string name) : log_(log), name_(std::move(name)) {}
  void Disable() override { log_.events.push_back("disable " + name_); }
  void Refresh() override { log_.events.push_back("refresh " + name_); }

 private:
  Log& log_;
  std::string name_;
};

class FakeDialog : public plat::DialogControl {
 public:
  explicit FakeDialog(Log& log) : log_(log) {}
  bool End(int) override {
    const bool allowed = inst::module_state().close_allowed.value_or(false);
    log_.events.push_back(allowed ? "end" : "end refused");
    return allowed;
  }

 private:
  Log& log_;
};

struct RunResult {
  Log log;
  std::vector<inst::Outcome> shown;
};

// One install run on drive C with the fake file system; the copies are logged in the
// same event list as the controls so their order shows.
RunResult run(FakeFileSystem& fs, const std::string& help = "C:\\ayuda.chm") {
  inst::reset_module_state();
  inst::module_state().selected_drive = "C";
  inst::module_state().close_allowed = false;
  RunResult r;
  FakeControl box(r.log, "box"), install(r.log, "install"), exit_button(r.log, "exit");
  FakeDialog dialog(r.log);
  std::array<plat::Control*, 2> buttons{&install, &exit_button};
  inst::run_install(help, box, buttons, dialog, fs, [&](const inst::Outcome& o) {
    r.log.events.push_back("message");
    r.shown.push_back(o);
  });
  return r;
}

std::vector<std::string> copied(const FakeFileSystem& fs) {
  std::vector<std::string> out;
  for (const auto& entry : fs.log)
    if (entry.rfind("copy ", 0) == 0) out.push_back(entry.substr(5));
  return out;
}

TEST(InstallRun, ControlsDialogAndMessageComeInOrder) {
  FakeFileSystem fs;
  fs.listing = {"Oficina"};
  fs.add_installation(kRoot + "Oficina");
  RunResult r = run(fs);
  const std::vector<std::string> expected = {"disable box",     "refresh box",     "disable install",
                                             "disable exit",    "refresh install", "refresh exit",
                                             "end",             "message"};
  EXPECT_EQ(r.log.events, expected);
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_EQ(r.shown[0].icon, plat::BoxIcon::Information);
  EXPECT_EQ(r.shown[0].text, "La AYUDA de Brevant Profesional se instal\xF3 correctamente.");
  EXPECT_EQ(r.shown[0].title, " Proceso finalizado");
  EXPECT_EQ(fs.copies.at(kRoot + "Oficina\\brevantpro.chm"), "C:\\ayuda.chm");
  EXPECT_EQ(fs.log.front(), "list C:\\Halvoren\\*.*");
}

TEST(InstallRun, TestsRunInOrderAndCopiesFollowTheWholeListing) {
  FakeFileSystem fs;
  fs.listing = {"A", "B"};
  fs.add_installation(kRoot + "A");
  fs.add_installation(kRoot + "B");
  run(fs);
  const std::string a = kRoot + "A", b = kRoot + "B";
  const std::vector<std::string> expected = {
      "list C:\\Halvoren\\*.*",
      "exists " + a + "\\brevantw.exe", "exists " + a + "\\emp\\versionp.dbf",
      "read " + a + "\\emp\\versionp.dbf", "size " + a + "\\Brevantw.exe",
      "exists " + b + "\\brevantw.exe", "exists " + b + "\\emp\\versionp.dbf",
      "read " + b + "\\emp\\versionp.dbf", "size " + b + "\\Brevantw.exe",
      "copy " + a + "\\brevantpro.chm", "copy " + b + "\\brevantpro.chm"};
  EXPECT_EQ(fs.log, expected);
}

TEST(InstallRun, NothingFoundGivesTheAttentionMessage) {
  FakeFileSystem fs;  // empty listing: no maker folder, no drive, no medium
  RunResult r = run(fs);
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_EQ(r.shown[0].icon, plat::BoxIcon::Information);
  EXPECT_EQ(r.shown[0].text,
            "En la UNIDAD seleccionada no se encontr\xF3 ning\xFAn Brevant Profesional v.2010 R03."
            "\n\r\n\rAyuda NO instalada.");
  EXPECT_EQ(r.shown[0].title, " Atenci\xF3n");
  EXPECT_TRUE(copied(fs).empty());
  EXPECT_EQ(r.log.events.back(), "message");
  EXPECT_EQ(r.log.events[r.log.events.size() - 2], "end");
}

// The already-accepted test compares whole paths: Acc is not taken for Acc2.
TEST(InstallRun, AccAndAcc2BothGetTheCopyInEitherOrder) {
  for (auto order : {std::vector<std::string>{"Acc2", "Acc"}, std::vector<std::string>{"Acc", "Acc2"}}) {
    FakeFileSystem fs;
    fs.listing = order;
    fs.add_installation(kRoot + "Acc");
    fs.add_installation(kRoot + "Acc2");
    run(fs);
    EXPECT_EQ(copied(fs), (std::vector<std::string>{kRoot + order[0] + "\\brevantpro.chm",
                                                    kRoot + order[1] + "\\brevantpro.chm"}));
  }
}

TEST(InstallRun, SameEntryListedTwiceIsCopiedOnceAndTheMarkerNotReadAgain) {
  FakeFileSystem fs;
  fs.listing = {"Acc", "Acc"};
  fs.add_installation(kRoot + "Acc");
  run(fs);
  EXPECT_EQ(copied(fs).size(), 1u);
  EXPECT_EQ(std::count(fs.log.begin(), fs.log.end(), "read " + kRoot + "Acc\\emp\\versionp.dbf"), 1);
}

TEST(InstallRun, EachOfTheFiveTestsPassesAnEntryOver) {
  struct Case {
    const char* what;
    void (*spoil)(FakeFileSystem&, const std::string&);
    bool accepted;
  };
  const Case cases[] = {
      {"valid", [](FakeFileSystem&, const std::string&) {}, true},
      {"no executable", [](FakeFileSystem& fs, const std::string& c) { fs.entries.erase(c + "\\brevantw.exe"); }, false},
      {"no version table",
       [](FakeFileSystem& fs, const std::string& c) { fs.entries.erase(c + "\\emp\\versionp.dbf"); }, false},
      {"another release", [](FakeFileSystem& fs, const std::string& c) { fs.add_installation(c, "2009/4"); }, false},
      {"marker inside a longer text", [](FakeFileSystem& fs, const std::string& c) { fs.add_installation(c, "v2010/12"); }, true},
      {"marker after zero bytes",
       [](FakeFileSystem& fs, const std::string& c) { fs.add_installation(c, std::string("\0\0\x1A" "2010/1", 9)); }, true},
      {"marker differs in case only", [](FakeFileSystem& fs, const std::string& c) { fs.add_installation(c, "2010/I"); }, false},
      {"empty version table", [](FakeFileSystem& fs, const std::string& c) { fs.add_installation(c, ""); }, false},
      {"locked version table",
       [](FakeFileSystem& fs, const std::string& c) { fs.entries[c + "\\emp\\versionp.dbf"].readable = false; }, false},
      {"one byte short", [](FakeFileSystem& fs, const std::string& c) { fs.add_installation(c, "2010/1", 6750207); }, false},
      {"one byte long", [](FakeFileSystem& fs, const std::string& c) { fs.add_installation(c, "2010/1", 6750209); }, false},
      // Hidden or system executable, or a folder named like it: it exists, its size is 0.
      {"executable of size 0", [](FakeFileSystem& fs, const std::string& c) { fs.add_installation(c, "2010/1", 0); }, false},
  };
  for (const Case& tc : cases) {
    SCOPED_TRACE(tc.what);
    FakeFileSystem fs;
    fs.listing = {"P"};
    fs.add_installation(kRoot + "P");
    tc.spoil(fs, kRoot + "P");
    run(fs);
    EXPECT_EQ(copied(fs).size(), tc.accepted ? 1u : 0u);
  }
}

TEST(InstallRun, DotEntriesAreCandidatesLikeAnyOther) {
  FakeFileSystem fs;
  fs.listing = {".", "..", "Oficina"};
  fs.add_installation(kRoot + ".");  // an installation lying in the maker folder itself
  fs.add_installation(kRoot + "Oficina");
  run(fs);
  EXPECT_EQ(copied(fs), (std::vector<std::string>{kRoot + ".\\brevantpro.chm", kRoot + "Oficina\\brevantpro.chm"}));
}

TEST(InstallRun, EntryWhoseTestPathIsTooLongIsPassedOver) {
  // "C:\Halvoren\" is 12 bytes and "\emp\versionp.dbf" 17: 226 bytes of name fit, 227 do not.
  const std::string fits(226, 'n'), too_long(227, 'l');
  FakeFileSystem fs;
  fs.listing = {too_long, fits};
  fs.add_installation(kRoot + too_long);
  fs.add_installation(kRoot + fits);
  run(fs);
  EXPECT_EQ(copied(fs), std::vector<std::string>{kRoot + fits + "\\brevantpro.chm"});
  for (const std::string& call : fs.log) EXPECT_EQ(call.find(too_long), std::string::npos) << call;
}

TEST(InstallRun, FailedCopiesAreNamedInAnAlertAndTheOthersStay) {
  FakeFileSystem fs;
  fs.listing = {"Almac\xE9n", "Oficina", "Taller"};
  for (const char* n : {"Almac\xE9n", "Oficina", "Taller"}) fs.add_installation(kRoot + n);
  fs.entries[kRoot + "Almac\xE9n\\brevantpro.chm"].copy_target_fails = true;
  fs.entries[kRoot + "Taller\\brevantpro.chm"].copy_target_fails = true;
  RunResult r = run(fs);
  EXPECT_EQ(fs.copies.count(kRoot + "Oficina\\brevantpro.chm"), 1u);
  ASSERT_EQ(r.shown.size(), 1u);
  EXPECT_EQ(r.shown[0].icon, plat::BoxIcon::Exclamation);
  EXPECT_EQ(r.shown[0].title, " Atenci\xF3n");
  EXPECT_EQ(r.shown[0].text,
            "No se pudo instalar la AYUDA de Brevant Profesional en:"
            "\n\r\n\rC:\\Halvoren\\Almac\xE9n"
            "\n\r\n\rC:\\Halvoren\\Taller");
  EXPECT_EQ(r.log.events[r.log.events.size() - 2], "end");
}

TEST(Messages, PromptBytes) {
  EXPECT_STREQ(inst::text::kPrompt,
               "Este proceso instala la Ayuda de BREVANT PROFESIONAL v.2010 Release 03.\n\r\n\r"
               "Por favor, seleccione UNIDAD de proceso :");
}

}  // namespace
