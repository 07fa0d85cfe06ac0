#include "engine_settings.h"

namespace ace {

EngineSettings& settings() {
  static EngineSettings s;
  return s;
}

void engine_shutdown() {
  // Tables are closed here once the engine holds any.
}

}  // namespace ace
