#include "tools/PictureSource.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

void CopySurfaceTopLeft(const ui::Surface* surface, std::span<std::uint8_t> capture, int width,
                        int height) {
  if (width <= 0 || height <= 0)
    return;
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  if (capture.size() / rowBytes < static_cast<std::size_t>(height))
    return;
  const int rows = surface ? std::min(height, surface->Height()) : 0;
  const std::size_t copyBytes =
      surface ? static_cast<std::size_t>(std::min(width, surface->Width())) * 3 : 0;
  const std::span<const std::uint8_t> bytes =
      surface ? surface->Bytes() : std::span<const std::uint8_t>();
  for (int y = 0; y < height; ++y) {
    std::uint8_t* out = capture.data() + static_cast<std::size_t>(y) * rowBytes;
    std::size_t copied = 0;
    if (y < rows) {
      // The surface already stores top-down red-green-blue rows; only its
      // stride differs from the capture's.
      const std::size_t offset = static_cast<std::size_t>(y) * surface->Stride();
      copied = std::min(copyBytes, bytes.size() > offset ? bytes.size() - offset : 0);
      if (copied > 0)
        std::memcpy(out, bytes.data() + offset, copied);
    }
    std::memset(out + copied, 0, rowBytes - copied);
  }
}

FrameSource MakePictureSource(const ui::PictureControl& picture, int width, int height) {
  return [&picture, width, height](int, std::span<std::uint8_t> capture) {
    CopySurfaceTopLeft(picture.GetSurface(), capture, width, height);
  };
}
