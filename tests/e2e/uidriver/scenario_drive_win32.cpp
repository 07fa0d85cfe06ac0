#include "scenario_drive_win32.h"

#include <windows.h>

#include <stdexcept>

#include "file_tree_win32.h"
#include "test_paths_win32.h"
#include "unix_shell_win32.h"

namespace e2e {
namespace {

// Letters the installer's drive box offers, less C (the prefix's own drive) and Z (the host).
constexpr const char* kCandidateLetters = "d e f g h i j k l m n o p q r s t u v x y";

std::string wine_prefix() {
  char value[MAX_PATH * 2] = "";
  const DWORD n = GetEnvironmentVariableA("WINEPREFIX", value, sizeof value);
  if (n == 0 || n >= sizeof value) throw std::runtime_error("WINEPREFIX is not set");
  return std::string(value, n);
}

}  // namespace

ScenarioDrive::ScenarioDrive(const std::string& name) {
  host_root_ = work_dir_host() + "/drives/" + name;
  const std::string root_win = host_to_windows_path(host_root_);
  remove_tree(root_win);
  make_dirs(root_win);
  const std::string devices = wine_prefix() + "/dosdevices";
  const std::string claim = host_root_ + ".letter";
  const std::string claim_win = host_to_windows_path(claim);
  DeleteFileA(claim_win.c_str());
  // A link to this scenario's own folder, or to a folder that is gone, was left by a run
  // that died; it may be claimed again. `ln -s` without -f fails when the letter is taken,
  // which makes the claim exclusive.
  const std::string root = shell_quote(host_root_);
  const std::string script =
      "cd " + shell_quote(devices) + " && for l in " + kCandidateLetters +
      "; do if [ -L $l: ] && { [ ! -e $l: ] || [ $(readlink $l:) = " + root +
      " ]; }; then rm -f $l:; fi; if ln -s " + root + " $l: 2>/dev/null; then echo $l > " +
      shell_quote(claim) + "; exit 0; fi; done; exit 1";
  const auto status = run_host_command(script);
  const auto claimed = read_file(claim_win);
  if (!status || *status != 0 || !claimed || claimed->empty())
    throw std::runtime_error("no free drive letter for " + name);
  letter_ = static_cast<char>((*claimed)[0] - 'a' + 'A');
  link_ = devices + "/" + std::string(1, (*claimed)[0]) + ":";
  // A process started from now on sees the new drive; this one should too before we build on it.
  if (!path_exists(path()))
    throw std::runtime_error("drive " + std::string(1, letter_) + ": does not appear");
}

ScenarioDrive::~ScenarioDrive() {
  if (!link_.empty()) run_host_command("rm -f " + shell_quote(link_));
}

std::string ScenarioDrive::path(const std::string& relative) const {
  return std::string(1, letter_) + ":\\" + relative;
}

int ScenarioDrive::drive_box_index() const {
  return letter_ <= 'V' ? letter_ - 'C' : letter_ - 'C' - 1;
}

}  // namespace e2e
