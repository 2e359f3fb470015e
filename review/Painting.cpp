#include "review/Painting.h"

#include <algorithm>

#include "review/BitmapFont.h"

namespace review {

void FillRect(Canvas canvas, const PixelRect& rect, Rgb colour) {
  const std::int64_t left = std::max<std::int64_t>(rect.left, 0);
  const std::int64_t right = std::min<std::int64_t>(rect.right, canvas.width);
  const std::int64_t top = std::max<std::int64_t>(rect.top, 0);
  const std::int64_t bottom = std::min<std::int64_t>(rect.bottom, canvas.Rows());
  if (left >= right || top >= bottom)
    return;
  const std::size_t stride = canvas.Stride();
  for (std::int64_t y = top; y < bottom; ++y) {
    std::uint8_t* pixel = canvas.pixels.data() + static_cast<std::size_t>(y) * stride +
                          static_cast<std::size_t>(left) * 3;
    for (std::int64_t x = left; x < right; ++x, pixel += 3) {
      pixel[0] = colour.blue;
      pixel[1] = colour.green;
      pixel[2] = colour.red;
    }
  }
}

void PaintRing(Canvas canvas, const PixelRect& outer, int thickness, Rgb colour) {
  if (outer.Empty() || thickness <= 0)
    return;
  const std::int64_t band = thickness;
  if (outer.Width() <= 2 * band || outer.Height() <= 2 * band) {
    FillRect(canvas, outer, colour);
    return;
  }
  const std::int64_t innerTop = outer.top + band;
  const std::int64_t innerBottom = outer.bottom - band;
  FillRect(canvas, {outer.left, outer.top, outer.right, innerTop}, colour);
  FillRect(canvas, {outer.left, innerBottom, outer.right, outer.bottom}, colour);
  FillRect(canvas, {outer.left, innerTop, outer.left + band, innerBottom}, colour);
  FillRect(canvas, {outer.right - band, innerTop, outer.right, innerBottom}, colour);
}

void PaintPlus(Canvas canvas, std::int64_t x, std::int64_t y, int arm, int thickness, Rgb colour) {
  if (arm < 0 || thickness <= 0)
    return;
  const std::int64_t before = (thickness - 1) / 2;
  const std::int64_t after = thickness - before;
  FillRect(canvas, {x - arm, y - before, x + arm + 1, y + after}, colour);
  FillRect(canvas, {x - before, y - arm, x + after, y + arm + 1}, colour);
}

void PaintText(Canvas canvas, std::int64_t x, std::int64_t y, std::string_view text, int scale,
               Rgb colour) {
  scale = std::max(scale, 1);
  const std::int64_t step = std::int64_t{kGlyphAdvance} * scale;
  // Glyphs wholly right of the canvas paint nothing, so a long text stops
  // there; the step is checked against the distance left, never added past
  // the canvas.
  for (const char c : text) {
    if (x >= canvas.width)
      return;
    if (x + step > 0) {
      const GlyphRows& rows = GlyphOf(c);
      for (int row = 0; row < kGlyphHeight; ++row) {
        const std::uint8_t bits = rows[static_cast<std::size_t>(row)];
        for (int dot = 0; dot < kGlyphWidth; ++dot) {
          if ((bits >> (kGlyphWidth - 1 - dot) & 1) == 0)
            continue;
          const std::int64_t left = x + std::int64_t{dot} * scale;
          const std::int64_t top = y + std::int64_t{row} * scale;
          FillRect(canvas, {left, top, left + scale, top + scale}, colour);
        }
      }
    }
    x += step;
  }
}

PixelRect LabelRect(std::int64_t x, std::int64_t y, std::string_view text, int scale) {
  scale = std::max(scale, 1);
  return {x, y, x + TextWidth(text, scale) + 2 * scale, y + TextHeight(scale) + 2 * scale};
}

PixelRect KeptOnCanvas(const PixelRect& label, const Canvas& canvas) {
  const auto place = [](std::int64_t start, std::int64_t size, std::int64_t room) {
    return std::max<std::int64_t>(std::min(start, room - size), 0);
  };
  const std::int64_t left = place(label.left, label.Width(), canvas.width);
  const std::int64_t top = place(label.top, label.Height(), canvas.Rows());
  return {left, top, left + label.Width(), top + label.Height()};
}

PixelRect PaintLabel(Canvas canvas, std::int64_t x, std::int64_t y, std::string_view text,
                     int scale, Rgb textColour, Rgb backing) {
  scale = std::max(scale, 1);
  const PixelRect rect = KeptOnCanvas(LabelRect(x, y, text, scale), canvas);
  FillRect(canvas, rect, backing);
  PaintText(canvas, rect.left + scale, rect.top + scale, text, scale, textColour);
  return rect;
}

}  // namespace review
