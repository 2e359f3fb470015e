#pragma once
// The frames of a series as the program plays and records them: 320 x 240
// frame files named ROOT_NNNN.bmp ("%s_%04d.bmp").

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "image/BmpFile.h"
#include "image/ImageBytes.h"

namespace series {

// The frame size the program works in.
inline constexpr int kFrameWidth = 320;
inline constexpr int kFrameHeight = 240;
inline constexpr std::size_t kFrameBytes =
    std::size_t{kFrameWidth} * kFrameHeight * BYTES_PER_PIXEL;
inline constexpr std::uintmax_t kFrameFileBytes = BMP_PIXEL_OFFSET + kFrameBytes;

// The longest series the companion goes through at once (imports, renders,
// checks, reviews), so a mistyped number cannot keep it busy for hours.
inline constexpr int kMaxSeriesFrames = 100000;

// Frame numbers from `first` to `last`, both included.
struct FrameRange {
  int first = 0;
  int last = 0;
};

// Writes the name of frame `frame` of the series under root into out,
// zero-terminated, and returns its length; -1 (out left empty) when the name
// does not fit.
int FormatFrameFileName(std::span<char> out, std::string_view root, int frame);

// The name of frame `frame` of the series under root.
std::string FrameFileName(std::string_view root, int frame);

// Writes a frame buffer of width x height pixels as a frame file, byte for
// byte what the recorder writes, through a temporary file and a rename.
// Returns what went wrong (with the system's reason), or nothing.
std::optional<std::string> WriteFrameFileAtomically(const std::string& path,
                                                    std::span<const std::uint8_t> pixels, int width,
                                                    int height);

}  // namespace series
