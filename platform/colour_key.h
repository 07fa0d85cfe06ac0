// Colour-keyed transparency of the dialog's picture.
#pragma once

#include <cstdint>
#include <vector>

namespace plat {

// Pixels are 0x00RRGGBB, rows top-down. Every pixel whose colour equals the top-left
// pixel's becomes `replacement`; the high byte is ignored when comparing.
void apply_colour_key(std::vector<std::uint32_t>& pixels, std::uint32_t replacement);

}  // namespace plat
