#pragma once
// A picture being painted: top-down rows of blue-green-red bytes, the
// layout the sources decode into and the video writer converts fastest.
// Colours are named red, green, blue as everywhere; only the bytes of a
// pixel stand the other way round. The canvas is a view; whoever made the
// rows owns them.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace review {

struct Rgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Canvas {
  std::span<std::uint8_t> pixels;
  int width = 0;
  int height = 0;

  std::size_t Stride() const { return static_cast<std::size_t>(width) * 3; }
  // The rows the span really holds, at most height: painting never goes
  // past them, whatever the sizes claim.
  int Rows() const;
  // The colour at (x, y); black outside the rows.
  Rgb At(int x, int y) const;
};

// A canvas that owns its rows, filled with one colour.
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;

  Picture() = default;
  Picture(int width, int height, Rgb fill = {});
  Canvas View() { return {pixels, width, height}; }
};

// A rectangle of pixels: columns left .. right - 1, rows top .. bottom - 1.
// Wide integers, so positions far off the picture add without overflow.
struct PixelRect {
  std::int64_t left = 0;
  std::int64_t top = 0;
  std::int64_t right = 0;
  std::int64_t bottom = 0;

  bool Empty() const { return right <= left || bottom <= top; }
  std::int64_t Width() const { return right - left; }
  std::int64_t Height() const { return bottom - top; }
  friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The rectangle grown by `by` pixels on every side (shrunk when negative).
PixelRect Grown(const PixelRect& rect, std::int64_t by);

}  // namespace review
