#include <gtest/gtest.h>

#include "platform/colour_key.h"
#include "platform/item_match.h"
#include "platform/window_geometry.h"

namespace {

TEST(ColourKey, PixelsOfTheTopLeftColourBecomeTheReplacement) {
  const std::uint32_t key = 0xFF00FF, face = 0xD4D0C8;
  // The high byte is not part of the colour: 0x01FF00FF is the key too.
  std::vector<std::uint32_t> pixels = {key, 0x123456, 0x01FF00FF, 0xFF00FE, key};
  plat::apply_colour_key(pixels, face);
  EXPECT_EQ(pixels, (std::vector<std::uint32_t>{face, 0x123456, face, 0xFF00FE, face}));

  std::vector<std::uint32_t> none;
  plat::apply_colour_key(none, face);
  EXPECT_TRUE(none.empty());
}

TEST(ItemMatch, IgnoresCaseAndSurroundingBlanks) {
  const std::vector<std::string> items = {"C", "D", "E", " x ", "Z"};
  struct Case {
    const char* value;
    int index;
  } cases[] = {
      {"C", 0}, {"c", 0}, {"  d  ", 1}, {"X", 3}, {"x ", 3},
      {"W", -1}, {"", -1}, {"CD", -1}, {"C:", -1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(plat::find_matching_item(items, c.value), c.index) << '"' << c.value << '"';
  }
  EXPECT_EQ(plat::find_matching_item({}, "C"), -1);
}

TEST(WindowGeometry, CentresWithIntegerDivisions) {
  struct Case {
    int origin, span, extent, expected;
  } cases[] = {
      {0, 1280, 400, 440},
      {0, 1024, 301, 362},   // 512 - 150: each half rounded down on its own
      {0, 1023, 301, 361},   // 511 - 150
      {100, 800, 200, 400},
      {0, 640, 800, -80},    // wider than the screen: the edge goes off it
  };
  for (const Case& c : cases) {
    EXPECT_EQ(plat::centred_origin(c.origin, c.span, c.extent), c.expected)
        << c.origin << ' ' << c.span << ' ' << c.extent;
  }
}

}  // namespace
