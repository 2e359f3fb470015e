#pragma once
// The program's own bitmap font: one glyph of 5 x 9 dots for every printable
// ASCII character (' ' to '~'), seven rows from the cap line to the baseline
// and two below it for descenders. Text is painted dot by dot, each dot a
// square of `scale` x `scale` pixels, so it stays sharp at any size: at
// scale 3 a capital is 15 x 21 pixels, readable on a 1080-row picture.

#include <array>
#include <cstdint>
#include <string_view>

namespace review {

inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 9;
// Characters stand kGlyphAdvance dots apart: a glyph and one dot of space.
inline constexpr int kGlyphAdvance = kGlyphWidth + 1;

// One row of a glyph: bit kGlyphWidth - 1 is the leftmost dot.
using GlyphRows = std::array<std::uint8_t, kGlyphHeight>;

// The glyph of a character; a character outside ' ' .. '~' gets the glyph
// of '?'.
const GlyphRows& GlyphOf(char c);

// The size in pixels of `text` painted at `scale` (at least 1): its
// characters side by side with one dot between them, the full glyph height.
std::int64_t TextWidth(std::string_view text, int scale);
std::int64_t TextHeight(int scale);

}  // namespace review
