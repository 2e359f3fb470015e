#include "review/Canvas.h"

#include <algorithm>

namespace review {

int Canvas::Rows() const {
  if (width <= 0 || height <= 0)
    return 0;
  return static_cast<int>(
      std::min<std::size_t>(static_cast<std::size_t>(height), pixels.size() / Stride()));
}

Rgb Canvas::At(int x, int y) const {
  if (x < 0 || x >= width || y < 0 || y >= Rows())
    return {};
  const std::uint8_t* pixel =
      pixels.data() + static_cast<std::size_t>(y) * Stride() + static_cast<std::size_t>(x) * 3;
  return {pixel[2], pixel[1], pixel[0]};
}

Picture::Picture(int width, int height, Rgb fill)
    : width(std::max(width, 0)), height(std::max(height, 0)) {
  pixels.resize(static_cast<std::size_t>(this->width) * static_cast<std::size_t>(this->height) * 3);
  for (std::size_t i = 0; i < pixels.size(); i += 3) {
    pixels[i] = fill.blue;
    pixels[i + 1] = fill.green;
    pixels[i + 2] = fill.red;
  }
}

PixelRect Grown(const PixelRect& rect, std::int64_t by) {
  return {rect.left - by, rect.top - by, rect.right + by, rect.bottom + by};
}

}  // namespace review
