// Placing a window on the screen.
#pragma once

namespace plat {

// Left (or top) edge that centres a window of `extent` on a screen span starting at
// `screen_origin`: origin + span/2 - extent/2, each division an integer one.
inline int centred_origin(int screen_origin, int screen_span, int extent) {
  return screen_origin + screen_span / 2 - extent / 2;
}

}  // namespace plat
