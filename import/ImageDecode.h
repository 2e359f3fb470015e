#pragma once
// Picture files decoded by Qt's image readers (PNG, JPEG, BMP, GIF, TIFF,
// WebP, … whatever plugins are installed), handed on as plain RGB buffers.
// No display is needed; every function may run on any thread.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "geometry/ImportGeometry.h"
#include "import/FrameCompose.h"

namespace cli {

// The endings (lower case, without the dot) of the files the readers take.
std::vector<std::string> PictureFileEndings();

// The picture's size from its header. Returns the reader's reason when the
// file cannot be read as a picture, and why not when the size is beyond the
// bound a decoded picture has (video::DecodedSizeProblem, shared with video).
std::optional<std::string> ReadPictureSize(const std::string& path, int& width, int& height);

// Decodes the part of the picture a frame shows: SourceReadRect(geometry),
// scaled (smoothly, averaging when shrinking) to ShownPart(geometry)'s size,
// transparency composited onto black. The file must be as large as the
// geometry's source. Returns the reader's reason when it cannot, the bound
// when the header declares a larger picture (before anything is decoded),
// and a reason naming the cut when the file ends before its picture data
// does (a JPEG, BMP or GIF whose reader would fill the rest in silently).
std::optional<std::string> DecodeShownPart(const std::string& path, const FrameGeometry& geometry,
                                           RgbImage& shown);

// Decodes the whole picture, which must be sourceWidth × sourceHeight
// pixels, scaled (smoothly) to width × height into top-down blue-green-red
// rows `stride` bytes apart at the start of `rows` (the layout the video
// writer converts fastest), transparency composited onto black. Returns the reader's reason when it
// cannot; nothing is written past the rows.
std::optional<std::string> DecodeWholePicture(const std::string& path, int sourceWidth,
                                              int sourceHeight, int width, int height,
                                              std::span<std::uint8_t> rows, std::size_t stride);

}  // namespace cli
