#pragma once
// Turns a captured frame (top row first, red-green-blue) into a frame buffer
// (bottom row first, blue-green-red), in one pass over the output.

#include <cstdint>
#include <span>

// Output byte (i × W + p) × 3 + k takes capture byte ((H − 1 − i) × W + p) × 3
// + (2 − k). Does nothing when a size is not positive or a buffer is smaller
// than W × H × 3 bytes.
void RearrangeCapture(std::span<const std::uint8_t> capture, std::span<std::uint8_t> output,
                      int width, int height);
