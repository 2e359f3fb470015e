#include "import/FrameCompose.h"

#include <algorithm>

#include "image/BufferTransforms.h"

namespace cli {

RgbView RgbImage::View() const {
  return {pixels, width, height, static_cast<std::size_t>(width) * 3};
}

bool IsWhole(const RgbView& picture) {
  if (picture.width < 0 || picture.height < 0)
    return false;
  const std::size_t rowBytes = static_cast<std::size_t>(picture.width) * 3;
  if (picture.height == 0 || rowBytes == 0)
    return true;
  if (picture.stride < rowBytes)
    return false;
  const std::size_t rows = static_cast<std::size_t>(picture.height) - 1;
  // The last row ends at rows · stride + rowBytes; the division keeps the
  // product from overflowing.
  return rows <= (picture.pixels.size() - rowBytes) / picture.stride &&
         picture.pixels.size() >= rowBytes;
}

bool ComposeFrame(const RgbView& shown, const FrameGeometry& geometry,
                  std::span<std::uint8_t> frame, std::vector<std::uint8_t>& scratch) {
  const PixelRect part = ShownPart(geometry);
  if (shown.width != part.width || shown.height != part.height || !IsWhole(shown) ||
      frame.size() < kFrameBytes || part.width < 1 || part.height < 1)
    return false;
  // Bottom-up blue-green-red, the frame buffer's own layout, in one pass.
  const std::size_t rowBytes = static_cast<std::size_t>(part.width) * 3;
  scratch.resize(rowBytes * static_cast<std::size_t>(part.height));
  for (int row = 0; row < part.height; ++row) {
    const std::uint8_t* from = shown.pixels.data() + static_cast<std::size_t>(row) * shown.stride;
    std::uint8_t* to = scratch.data() + static_cast<std::size_t>(part.height - 1 - row) * rowBytes;
    for (std::size_t i = 0; i < rowBytes; i += 3) {
      to[i] = from[i + 2];
      to[i + 1] = from[i + 1];
      to[i + 2] = from[i];
    }
  }
  std::fill_n(frame.begin(), kFrameBytes, std::uint8_t{0});
  const ImageRegion whole{0, part.width - 1, 0, part.height - 1};
  CenterRegion(scratch, part.width, part.height, frame.first(kFrameBytes), kFrameWidth,
               kFrameHeight, &whole);
  return true;
}

}  // namespace cli
