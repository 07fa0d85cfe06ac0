// The operations that the search-and-copy run needs of the dialog and its controls.
// The Win32 components (dialog_components.h) implement them; tests use fakes.
#pragma once

namespace plat {

class Control {
 public:
  virtual ~Control() = default;
  // Marks the control inactive and disables its window.
  virtual void Disable() = 0;
  // Repaints the control; a combo box first re-selects the item equal to its bound value.
  virtual void Refresh() = 0;
};

class DialogControl {
 public:
  virtual ~DialogControl() = default;
  // Asks the dialog to end: true when its close condition allowed it.
  virtual bool End(int result = 2) = 0;
};

}  // namespace plat
