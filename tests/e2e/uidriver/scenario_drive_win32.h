// A Wine drive letter of its own for one scenario: a fresh host folder, linked as
// "$WINEPREFIX/dosdevices/<letter>:". Letters are claimed with an exclusive symlink,
// so scenarios running in parallel (and other test programs) never share one.
#pragma once

#include <string>

namespace e2e {

class ScenarioDrive {
 public:
  // `name` tells the scenario's folder apart; throws std::runtime_error when no letter is free.
  explicit ScenarioDrive(const std::string& name);
  ~ScenarioDrive();  // gives the letter back; the folder stays for a look after a failure
  ScenarioDrive(const ScenarioDrive&) = delete;
  ScenarioDrive& operator=(const ScenarioDrive&) = delete;

  char letter() const { return letter_; }
  // "L:\relative"; the root "L:\" for an empty argument.
  std::string path(const std::string& relative = "") const;
  // The letter's position in the installer's drive box (C to V, then X, Y, Z).
  int drive_box_index() const;

 private:
  std::string host_root_;
  std::string link_;
  char letter_ = 0;
};

}  // namespace e2e
