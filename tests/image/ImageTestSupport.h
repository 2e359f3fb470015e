#pragma once
// Helpers for the image tests: pixel bytes that differ from pixel to pixel
// and row to row, so that a shifted, padded or reordered copy shows.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace image_test {

inline std::vector<unsigned char> PatternBytes(std::size_t count, unsigned seed) {
  std::vector<unsigned char> bytes(count);
  std::uint32_t state = seed * 2654435761u + 1;
  for (auto& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<unsigned char>(state >> 24);
  }
  return bytes;
}

// True when every byte of bytes is value (as it was before a call that must
// not write there).
inline bool AllAre(std::span<const unsigned char> bytes, unsigned char value) {
  return std::ranges::all_of(bytes, [value](unsigned char b) { return b == value; });
}

}  // namespace image_test
