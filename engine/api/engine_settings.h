// Engine-wide settings the program hands over at start-up.
#pragma once

#include <cstdint>
#include <string>

namespace ace {

struct EngineSettings {
  std::string date_format = "mm/dd/yy";
  uint16_t epoch = 1900;
  bool show_deleted = true;
  uint16_t server_type = 1;
};

EngineSettings& settings();

// Closes every table the engine holds (called by ace_exit).
void engine_shutdown();

}  // namespace ace
