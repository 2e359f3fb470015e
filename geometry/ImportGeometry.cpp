#include "geometry/ImportGeometry.h"

#include <algorithm>
#include <climits>

namespace cli {
namespace {

// a · b / c rounded half up, for the positive sizes of a plan (no overflow
// in 64 bits for int operands).
int ScaledLength(int a, int b, int c) {
  const std::int64_t value = (std::int64_t{a} * b * 2 + c) / (std::int64_t{c} * 2);
  return static_cast<int>(value);
}

std::optional<int> ToInt(std::int64_t value) {
  if (value < INT_MIN || value > INT_MAX)
    return std::nullopt;
  return static_cast<int>(value);
}

}  // namespace

std::optional<std::string> PlanGeometry(FitMode mode, int width, int height, const PixelRect& crop,
                                        FrameGeometry& geometry) {
  if (width < 1 || height < 1)
    return "the picture is " + std::to_string(width) + " x " + std::to_string(height) +
           " pixels; it needs at least one pixel";
  PixelRect used{0, 0, width, height};
  if (mode == FitMode::Crop) {
    const bool inside = crop.x >= 0 && crop.y >= 0 && crop.width >= 1 && crop.height >= 1 &&
                        crop.x <= width - crop.width && crop.y <= height - crop.height;
    if (!inside)
      return "the crop rectangle " + std::to_string(crop.x) + "," + std::to_string(crop.y) + "," +
             std::to_string(crop.width) + "," + std::to_string(crop.height) +
             " does not lie inside the " + std::to_string(width) + " x " + std::to_string(height) +
             " picture";
    used = crop;
  }
  FrameGeometry plan;
  plan.sourceWidth = width;
  plan.sourceHeight = height;
  plan.crop = used;
  if (mode == FitMode::Center) {
    plan.scaledWidth = used.width;
    plan.scaledHeight = used.height;
  } else if (std::int64_t{used.width} * kFrameHeight >= std::int64_t{used.height} * kFrameWidth) {
    // As wide as the frame's shape or wider: the width fills the frame.
    plan.scaledWidth = kFrameWidth;
    plan.scaledHeight =
        std::clamp(ScaledLength(used.height, kFrameWidth, used.width), 1, kFrameHeight);
  } else {
    plan.scaledHeight = kFrameHeight;
    plan.scaledWidth =
        std::clamp(ScaledLength(used.width, kFrameHeight, used.height), 1, kFrameWidth);
  }
  plan.scaleX = static_cast<double>(plan.scaledWidth) / used.width;
  plan.scaleY = static_cast<double>(plan.scaledHeight) / used.height;

  // Where CenterRegion puts the shown part of a bottom-up frame buffer: the
  // column offset halved and truncated; the row offset likewise but counted
  // from the bottom row, so an odd leftover row falls above the picture.
  const PixelRect shown = ShownPart(plan);
  const int left = (kFrameWidth - shown.width) / 2;
  const int top = kFrameHeight - shown.height - (kFrameHeight - shown.height) / 2;
  plan.offsetX = left - shown.x;
  plan.offsetY = top - shown.y;
  plan.firstFrame = geometry.firstFrame;
  plan.firstSource = geometry.firstSource;
  geometry = plan;
  return std::nullopt;
}

PixelRect ShownPart(const FrameGeometry& geometry) {
  const int width = std::min(geometry.scaledWidth, kFrameWidth);
  const int height = std::min(geometry.scaledHeight, kFrameHeight);
  return {(geometry.scaledWidth - width) / 2, (geometry.scaledHeight - height) / 2, width, height};
}

PixelRect SourceReadRect(const FrameGeometry& geometry) {
  const PixelRect shown = ShownPart(geometry);
  if (shown.width == geometry.scaledWidth && shown.height == geometry.scaledHeight)
    return geometry.crop;
  // Only an unscaled picture is larger than the frame: its shown part is a
  // rectangle of the source itself.
  return {geometry.crop.x + shown.x, geometry.crop.y + shown.y, shown.width, shown.height};
}

Point SourceToFrame(const FrameGeometry& geometry, Point source) {
  return {(source.x - geometry.crop.x) * geometry.scaleX + geometry.offsetX,
          (source.y - geometry.crop.y) * geometry.scaleY + geometry.offsetY};
}

Point FrameToSource(const FrameGeometry& geometry, Point frame) {
  return {(frame.x - geometry.offsetX) / geometry.scaleX + geometry.crop.x,
          (frame.y - geometry.offsetY) / geometry.scaleY + geometry.crop.y};
}

std::optional<int> SourceToFrameNumber(const FrameGeometry& geometry, std::int64_t source) {
  return ToInt(source - geometry.firstSource + geometry.firstFrame);
}

std::optional<int> FrameToSourceNumber(const FrameGeometry& geometry, std::int64_t frame) {
  return ToInt(frame - geometry.firstFrame + geometry.firstSource);
}

}  // namespace cli
