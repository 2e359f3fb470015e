// The program's bitmap font: every printable character has a glyph of its
// own, descenders only where letters have them, and text lands on the
// canvas dot for dot at any scale.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "review/BitmapFont.h"
#include "review/Painting.h"

namespace {

using review::Canvas;
using review::GlyphOf;
using review::GlyphRows;
using review::Picture;
using review::Rgb;

constexpr Rgb kInk{10, 200, 30};

bool Inked(const Canvas& canvas, int x, int y) {
  return canvas.At(x, y) == kInk;
}

TEST(BitmapFont, EveryPrintableCharacterHasAGlyphOfItsOwn) {
  std::set<GlyphRows> seen;
  for (char c = ' '; c <= '~'; ++c) {
    const GlyphRows& rows = GlyphOf(c);
    bool inked = false;
    for (const std::uint8_t row : rows) {
      EXPECT_EQ(row >> review::kGlyphWidth, 0) << "a dot beyond the glyph's width in '" << c << "'";
      inked = inked || row != 0;
    }
    EXPECT_EQ(inked, c != ' ') << "'" << c << "'";
    EXPECT_TRUE(seen.insert(rows).second) << "'" << c << "' looks like an earlier character";
  }
}

TEST(BitmapFont, OnlyCharactersThatReachBelowTheLineHaveDotsThere) {
  const std::string below = ",;_gjpqy";
  for (char c = ' '; c <= '~'; ++c) {
    const GlyphRows& rows = GlyphOf(c);
    const bool descends = rows[7] != 0 || rows[8] != 0;
    EXPECT_EQ(descends, below.find(c) != std::string::npos) << "'" << c << "'";
  }
}

TEST(BitmapFont, CharactersOutsidePrintableAsciiShowAsQuestionMarks) {
  for (const char c : {'\0', '\n', '\t', '\x7f', static_cast<char>(0xC3), static_cast<char>(0xFF)})
    EXPECT_EQ(GlyphOf(c), GlyphOf('?')) << static_cast<int>(c);
}

TEST(BitmapFont, TextIsPaintedDotForDotAtItsScale) {
  // The glyph of '4' as it is meant to look.
  const char* const four[review::kGlyphHeight] = {"...#.", "..##.", ".#.#.", "#..#.", "#####",
                                                  "...#.", "...#.", ".....", "....."};
  for (const int scale : {1, 3}) {
    SCOPED_TRACE(scale);
    Picture picture(40, 40);
    const Canvas canvas = picture.View();
    review::PaintText(canvas, 7, 5, "4", scale, kInk);
    for (int y = 0; y < 40; ++y) {
      for (int x = 0; x < 40; ++x) {
        const int column = (x - 7) / scale;
        const int row = (y - 5) / scale;
        const bool inGlyph =
            x >= 7 && y >= 5 && column < review::kGlyphWidth && row < review::kGlyphHeight;
        const bool dot = inGlyph && four[row][column] == '#';
        ASSERT_EQ(Inked(canvas, x, y), dot) << x << ", " << y;
      }
    }
  }
}

TEST(BitmapFont, CharactersStandOneDotApartAndTheWidthSaysSo) {
  Picture picture(80, 20);
  const Canvas canvas = picture.View();
  review::PaintText(canvas, 0, 0, "||", 2, kInk);
  // '|' is the middle column of its glyph: columns 2 and 8 of the dots.
  for (int x = 0; x < 80; ++x)
    EXPECT_EQ(Inked(canvas, x, 0), x / 2 == 2 || x / 2 == 8) << x;
  EXPECT_EQ(review::TextWidth("||", 2), 22);
  EXPECT_EQ(review::TextWidth("IDSW 5>9", 2), (8 * 6 - 1) * 2);
  EXPECT_EQ(review::TextWidth("", 4), 0);
  EXPECT_EQ(review::TextHeight(3), 27);
  // A scale below 1 paints at 1.
  EXPECT_EQ(review::TextWidth("ab", 0), review::TextWidth("ab", 1));
}

}  // namespace
