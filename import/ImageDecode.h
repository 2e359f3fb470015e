#pragma once
// Picture files decoded by Qt's image readers (PNG, JPEG, BMP, GIF, TIFF,
// WebP, … whatever plugins are installed), handed on as plain RGB buffers.
// No display is needed; every function may run on any thread.

#include <optional>
#include <string>
#include <vector>

#include "geometry/ImportGeometry.h"
#include "import/FrameCompose.h"

namespace cli {

// The endings (lower case, without the dot) of the files the readers take.
std::vector<std::string> PictureFileEndings();

// The picture's size from its header. Returns the reader's reason when the
// file cannot be read as a picture.
std::optional<std::string> ReadPictureSize(const std::string& path, int& width, int& height);

// Decodes the part of the picture a frame shows: SourceReadRect(geometry),
// scaled (smoothly, averaging when shrinking) to ShownPart(geometry)'s size,
// transparency composited onto black. The file must be as large as the
// geometry's source. Returns the reader's reason when it cannot.
std::optional<std::string> DecodeShownPart(const std::string& path, const FrameGeometry& geometry,
                                           RgbImage& shown);

// The rectangle `rect` of a decoded picture scaled to width × height the same
// way, for sources decoded elsewhere (video frames). An empty image when the
// rectangle does not lie inside the picture or a size is below 1.
RgbImage CropAndScale(const RgbView& picture, const PixelRect& rect, int width, int height);

}  // namespace cli
