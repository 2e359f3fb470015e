#pragma once
// Decoded pictures as plain buffers, and their placing into a frame buffer.
// Whatever decodes a source (image files, video) hands over the part of the
// picture a frame shows, already cropped and scaled, as red-green-blue rows;
// ComposeFrame turns it into the recorder's bottom-up blue-green-red frame
// and centres it on black with CenterRegion.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "geometry/ImportGeometry.h"

namespace cli {

// A picture of width × height pixels: top-down rows of red, green, blue
// bytes, each row starting `stride` bytes after the one above.
struct RgbView {
  std::span<const std::uint8_t> pixels;
  int width = 0;
  int height = 0;
  std::size_t stride = 0;
};

// A picture that owns its rows, packed (stride = width × 3).
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;

  RgbView View() const;
};

// True when the view's rows lie inside its span and do not overlap.
bool IsWhole(const RgbView& picture);

// The frame buffer size: 320 × 240 pixels of 3 bytes.
using series::kFrameBytes;

// Fills frame (kFrameBytes at least) with black and places `shown`, which
// must be exactly ShownPart(geometry)'s size, where the geometry says.
// scratch holds the bottom-up copy between calls. Returns false, changing
// nothing, when the sizes do not agree.
bool ComposeFrame(const RgbView& shown, const FrameGeometry& geometry,
                  std::span<std::uint8_t> frame, std::vector<std::uint8_t>& scratch);

}  // namespace cli
