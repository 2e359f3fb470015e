#include "image/SeriesFrames.h"

#include <cstdio>

#include "base/AtomicFile.h"

namespace series {

int FormatFrameFileName(std::span<char> out, std::string_view root, int frame) {
  if (out.empty())
    return -1;
  const int length = root.size() < out.size()
                         ? std::snprintf(out.data(), out.size(), "%.*s_%04d.bmp",
                                         static_cast<int>(root.size()), root.data(), frame)
                         : -1;
  if (length < 0 || static_cast<std::size_t>(length) >= out.size()) {
    out[0] = '\0';
    return -1;
  }
  return length;
}

std::string FrameFileName(std::string_view root, int frame) {
  // Room for "_-2147483648.bmp" and the zero.
  char number[24];
  std::snprintf(number, sizeof number, "_%04d.bmp", frame);
  return std::string(root) + number;
}

std::optional<std::string> WriteFrameFileAtomically(const std::string& path,
                                                    std::span<const std::uint8_t> pixels, int width,
                                                    int height) {
  const std::optional<std::size_t> bytes = ImageBytes(width, height);
  if (!bytes || pixels.size() < *bytes)
    return "cannot write " + path + ": the frame buffer does not hold " + std::to_string(width) +
           " x " + std::to_string(height) + " pixels";
  const BmpHeaders headers = MakeBmpHeaders(width, height);
  const std::span<const std::uint8_t> pieces[] = {headers, pixels.first(*bytes)};
  return base::WriteFileAtomically(path, pieces);
}

}  // namespace series
