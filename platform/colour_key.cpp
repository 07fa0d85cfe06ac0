#include "platform/colour_key.h"

namespace plat {

void apply_colour_key(std::vector<std::uint32_t>& pixels, std::uint32_t replacement) {
  if (pixels.empty()) return;
  const std::uint32_t key = pixels.front() & 0xFFFFFFu;
  for (std::uint32_t& p : pixels) {
    if ((p & 0xFFFFFFu) == key) p = replacement;
  }
}

}  // namespace plat
