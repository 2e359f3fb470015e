#pragma once
// Painting on a canvas: filled rectangles, rings (rectangle outlines of a
// given thickness), plus signs, text in the program's bitmap font and
// labels (text on a backing). Everything is clipped to the canvas: a shape
// partly or wholly off the picture paints only the part on it, and no
// position, however far off, reaches memory outside the rows.

#include <cstdint>
#include <string_view>

#include "review/Canvas.h"

namespace review {

void FillRect(Canvas canvas, const PixelRect& rect, Rgb colour);

// The band `thickness` pixels wide just inside `outer`; a rectangle too
// small for the band is filled.
void PaintRing(Canvas canvas, const PixelRect& outer, int thickness, Rgb colour);

// A plus sign centred on pixel (x, y): two bars 2 × arm + 1 pixels long and
// `thickness` wide.
void PaintPlus(Canvas canvas, std::int64_t x, std::int64_t y, int arm, int thickness, Rgb colour);

// `text` with the top-left corner of its first glyph at (x, y), each dot
// `scale` pixels square.
void PaintText(Canvas canvas, std::int64_t x, std::int64_t y, std::string_view text, int scale,
               Rgb colour);

// The rectangle a label of `text` at `scale` covers with its top-left
// corner at (x, y): the text with one dot of backing around it.
PixelRect LabelRect(std::int64_t x, std::int64_t y, std::string_view text, int scale);

// The label moved the least so that it lies wholly on the canvas (at the
// canvas's top or left edge when it is larger than the canvas).
PixelRect KeptOnCanvas(const PixelRect& label, const Canvas& canvas);

// Paints `text` on a filled backing, in the rectangle KeptOnCanvas gives for
// LabelRect(x, y, text, scale), and returns that rectangle: a label is
// always seen whole, even for a mark beyond the picture's edge.
PixelRect PaintLabel(Canvas canvas, std::int64_t x, std::int64_t y, std::string_view text,
                     int scale, Rgb textColour, Rgb backing);

}  // namespace review
