#pragma once
// The byte count of a 24-bit image, shared by the frame files and the buffer
// transforms so that both refuse the same sizes.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>

inline constexpr int BYTES_PER_PIXEL = 3;

// width × height × 3, or nothing when a size is negative or the count leaves
// the signed 32-bit range that frame files and every caller use. Computed in
// 64 bits so that the check itself cannot overflow.
inline std::optional<std::size_t> ImageBytes(int width, int height) {
  if (width < 0 || height < 0)
    return std::nullopt;
  const std::int64_t bytes = std::int64_t{width} * height * BYTES_PER_PIXEL;
  if (bytes > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::size_t>(bytes);
}
