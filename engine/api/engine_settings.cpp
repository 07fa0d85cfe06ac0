#include "engine_settings.h"

#include "api/cursor_registry.h"

namespace ace {

EngineSettings& settings() {
  static EngineSettings s;
  return s;
}

void engine_shutdown() {
  api::close_all_cursors();
}

}  // namespace ace
