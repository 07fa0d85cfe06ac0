#include <gtest/gtest.h>

#include <string>

#include "platform/codepage.h"

namespace {

using std::string;

// Letters that both code pages hold: OEM bytes and their ANSI counterparts.
// ñ á ü ç ¿ ¡ Ñ é
const string kOemSpanish("\xA4\xA0\x81\x87\xA8\xAD\xA5\x82", 8);
const string kAnsiSpanish("\xF1\xE1\xFC\xE7\xBF\xA1\xD1\xE9", 8);

TEST(CodePage, SpanishLettersConvertBothWays) {
  EXPECT_EQ(plat::OEMTOANSI(kOemSpanish), kAnsiSpanish);
  EXPECT_EQ(plat::ANSITOOEM(kAnsiSpanish), kOemSpanish);
  EXPECT_EQ(plat::ANSITOOEM(plat::OEMTOANSI("Espa\xA4" "a, a\xA4o 2010")), "Espa\xA4" "a, a\xA4o 2010");
}

TEST(CodePage, StopsAtTheFirstZeroByteAndKeepsTheLength) {
  struct Case {
    string oem, ansi;
  } cases[] = {
      {"", ""},
      {"abc", "abc"},
      {string("\xA4\0\xA4", 3), string("\xF1\0\xA4", 3)},
      {string("\0\xA4", 2), string("\0\xA4", 2)},
      {string("\xA0\xA0\0\0\x81", 5), string("\xE1\xE1\0\0\x81", 5)},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(plat::OEMTOANSI(c.oem), c.ansi);
    EXPECT_EQ(plat::OEMTOANSI(c.oem).size(), c.oem.size());
  }
  // Backwards too: the ANSI bytes after the zero stay ANSI.
  EXPECT_EQ(plat::ANSITOOEM(string("\xF1\0\xF1", 3)), string("\xA4\0\xF1", 3));
}

TEST(CodePage, BoxDrawingHasNoAnsiCounterpart) {
  // Single horizontal line, OEM 0xC4, and a double corner, 0xC9.
  const string box("\xC4\xC9", 2);
  const string ansi = plat::OEMTOANSI(box);
  ASSERT_EQ(ansi.size(), 2u);
#ifdef _WIN32
  // What the system maps them to: Wine 8 gives the same ASCII look-alikes.
  EXPECT_EQ(ansi, "-+");
#else
  // Our tables: plain ASCII look-alikes, so the text stays readable.
  EXPECT_EQ(ansi, "-+");
#endif
  // The round trip cannot bring the box character back.
  EXPECT_NE(plat::ANSITOOEM(ansi), box);
}

#ifndef _WIN32
TEST(CodePage, EveryAnsiByteMapsToADefinedOemByteAndBack) {
  // Every character both code pages share survives ANSI -> OEM -> ANSI.
  int survivors = 0;
  for (int b = 0xA0; b <= 0xFF; ++b) {
    const string a(1, static_cast<char>(b));
    if (plat::OEMTOANSI(plat::ANSITOOEM(a)) == a) ++survivors;
  }
  EXPECT_EQ(survivors, 96);  // the whole of 0xA0-0xFF
  EXPECT_EQ(plat::ANSITOOEM("\x80\x93\x94\x96"), "E\"\"-");
}
#endif

}  // namespace
