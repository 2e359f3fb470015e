#pragma once
// How a source picture becomes a 320 × 240 frame, and how positions and
// numbers map between the two. The importers (images, video) plan one
// geometry per series from the source size; the MOT converters read it back
// from the series' .geometry file to carry ground truth along.
//
// Coordinates are continuous: a picture of W pixels spans [0, W), x from the
// left, y from the top. A source position s maps to the frame position
//   x = (sx − crop.x) · scaleX + offsetX,   y = (sy − crop.y) · scaleY + offsetY,
// where offset is the frame position of the scaled crop's top-left corner
// (negative when --center shows only the middle of a larger picture).

#include <cstdint>
#include <optional>
#include <string>

#include "image/SeriesFrames.h"

namespace cli {

using series::kFrameHeight;
using series::kFrameWidth;

enum class FitMode {
  Fit,     // scale the whole picture to the largest size that fits the frame
  Center,  // no scaling: the middle of the picture (all of it when smaller)
  Crop,    // scale the crop rectangle to the largest size that fits
};

struct PixelRect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PixelRect&) const = default;
};

struct Fraction {
  int numerator = 0;
  int denominator = 0;
  bool operator==(const Fraction&) const = default;
};

struct FrameGeometry {
  int sourceWidth = 0;
  int sourceHeight = 0;
  PixelRect crop;       // the part of the source that is scaled (all of it but for --crop)
  int scaledWidth = 0;  // the crop's size after scaling
  int scaledHeight = 0;
  double scaleX = 1.0;  // scaledWidth / crop.width
  double scaleY = 1.0;
  int offsetX = 0;  // frame position of the scaled crop's top-left corner
  int offsetY = 0;
  int firstFrame = 0;   // the output frame number of the first source frame
  int firstSource = 0;  // the source number of that first frame
  // For a video source: its frame rate and the time base of its timestamps,
  // each a fraction; 0/0 for pictures.
  Fraction videoRate;
  Fraction videoTimeBase;
  bool operator==(const FrameGeometry&) const = default;
};

// Plans the geometry of a source picture of width × height pixels. crop is
// used by FitMode::Crop only. Returns why it cannot be planned (a size below
// 1, a crop rectangle empty or outside the picture), or nothing.
std::optional<std::string> PlanGeometry(FitMode mode, int width, int height, const PixelRect& crop,
                                        FrameGeometry& geometry);

// The part of the scaled crop the frame shows, in the scaled crop's own
// pixels (top-down): all of it, or its middle 320 × 240 for a larger one.
PixelRect ShownPart(const FrameGeometry& geometry);

// The source rectangle a decoder reads for one frame: the crop, to be scaled
// to the scaled size; or, for an unscaled picture larger than the frame, just
// its shown part. What it reads becomes exactly ShownPart's size.
PixelRect SourceReadRect(const FrameGeometry& geometry);

struct Point {
  double x = 0.0;
  double y = 0.0;
};

Point SourceToFrame(const FrameGeometry& geometry, Point source);
Point FrameToSource(const FrameGeometry& geometry, Point frame);

// Output frame of a source number, and back; computed wide, so nothing
// overflows: a result outside int gives nothing.
std::optional<int> SourceToFrameNumber(const FrameGeometry& geometry, std::int64_t source);
std::optional<int> FrameToSourceNumber(const FrameGeometry& geometry, std::int64_t frame);

}  // namespace cli
