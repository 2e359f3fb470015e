#include "console/FrameRearrange.h"

#include <cstddef>

void RearrangeCapture(std::span<const std::uint8_t> capture, std::span<std::uint8_t> output,
                      int width, int height) {
  if (width <= 0 || height <= 0)
    return;
  const std::size_t rowBytes = static_cast<std::size_t>(width) * 3;
  const std::size_t total = rowBytes * static_cast<std::size_t>(height);
  if (capture.size() < total || output.size() < total)
    return;

  std::uint8_t* out = output.data();
  for (std::size_t i = 0; i < static_cast<std::size_t>(height); ++i) {
    const std::uint8_t* in = capture.data() + (static_cast<std::size_t>(height) - 1 - i) * rowBytes;
    for (std::size_t p = 0; p < rowBytes; p += 3) {
      *out++ = in[p + 2];
      *out++ = in[p + 1];
      *out++ = in[p];
    }
  }
}
