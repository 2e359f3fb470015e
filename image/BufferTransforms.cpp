#include "image/BufferTransforms.h"
#include "image/ImageBytes.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

namespace {

// Whether the byte ranges [a, a + aBytes) and [b, b + bBytes) share a byte.
// Compared as integers, since ordering pointers into different objects is not
// defined by the language.
bool Overlap(const unsigned char* a, std::size_t aBytes, const unsigned char* b,
             std::size_t bBytes) {
  if (aBytes == 0 || bBytes == 0) {
    return false;
  }
  const auto aBegin = reinterpret_cast<std::uintptr_t>(a);
  const auto bBegin = reinterpret_cast<std::uintptr_t>(b);
  return aBegin < bBegin + bBytes && bBegin < aBegin + aBytes;
}

}  // namespace

void ReverseBuffer(std::span<unsigned char> destination, std::span<const unsigned char> source,
                   int width, int height) {
  const std::optional<std::size_t> bytes = ImageBytes(width, height);
  if (!bytes || destination.size() < *bytes || source.size() < *bytes ||
      Overlap(destination.data(), *bytes, source.data(), *bytes)) {
    return;
  }
  std::ranges::reverse_copy(source.first(*bytes), destination.begin());
}

void CenterRegion(std::span<const unsigned char> source, int sourceWidth, int sourceHeight,
                  std::span<unsigned char> destination, int destinationWidth, int destinationHeight,
                  const ImageRegion* region) {
  if (region == nullptr) {
    return;
  }
  // In 64 bits, so that extreme corners cannot overflow the size.
  const std::int64_t columns = std::int64_t{region->xMax} + 1 - region->xMin;
  const std::int64_t rows = std::int64_t{region->yMax} + 1 - region->yMin;
  if (columns <= 0 || rows <= 0) {
    return;
  }

  const std::optional<std::size_t> sourceBytes = ImageBytes(sourceWidth, sourceHeight);
  const std::optional<std::size_t> destinationBytes =
      ImageBytes(destinationWidth, destinationHeight);
  if (!sourceBytes || !destinationBytes || source.size() < *sourceBytes ||
      destination.size() < *destinationBytes ||
      Overlap(source.data(), *sourceBytes, destination.data(), *destinationBytes)) {
    return;
  }
  const bool insideSource = region->xMin >= 0 && region->xMax < sourceWidth && region->yMin >= 0 &&
                            region->yMax < sourceHeight;
  if (!insideSource || columns > destinationWidth || rows > destinationHeight) {
    return;
  }

  // Halved in double and truncated toward zero, column offset first.
  const auto columnOffset = static_cast<std::int64_t>((destinationWidth - columns) * 0.5);
  const auto rowOffset = static_cast<std::int64_t>((destinationHeight - rows) * 0.5);

  // The checks above keep every row inside both images.
  const auto rowBytes = static_cast<std::size_t>(columns * BYTES_PER_PIXEL);
  for (std::int64_t i = 0; i < rows; ++i) {
    const auto from = static_cast<std::size_t>(((region->yMin + i) * sourceWidth + region->xMin) *
                                               BYTES_PER_PIXEL);
    const auto to = static_cast<std::size_t>(((rowOffset + i) * destinationWidth + columnOffset) *
                                             BYTES_PER_PIXEL);
    std::ranges::copy(source.subspan(from, rowBytes), destination.subspan(to).begin());
  }
}
