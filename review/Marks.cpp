#include "review/Marks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

#include "review/BitmapFont.h"
#include "review/Painting.h"

namespace review {
namespace {

// Twelve colours of clearly different hue and brightness, none near white,
// black or the three error colours.
constexpr std::array<Rgb, 12> kPalette{{
    {230, 60, 60},    // red
    {60, 130, 240},   // azure
    {120, 200, 50},   // leaf green
    {255, 150, 40},   // orange
    {160, 90, 230},   // violet
    {40, 160, 120},   // teal green
    {230, 100, 170},  // rose
    {170, 120, 60},   // brown
    {90, 90, 220},    // blue
    {190, 190, 110},  // khaki
    {120, 170, 210},  // steel
    {140, 50, 90},    // wine
}};

// Positions far outside any picture paint nothing; clamping them first
// keeps every sum in range.
constexpr double kFarAway = 1e12;

std::int64_t NearestPixel(double value) {
  if (!std::isfinite(value))
    return 0;
  return static_cast<std::int64_t>(std::floor(std::clamp(value, -kFarAway, kFarAway) + 0.5));
}

bool IsPoint(const ReviewBox& box) {
  return !(box.width > 0.0) && !(box.height > 0.0);
}

template <typename T>
const T* At(const std::vector<T>& items, int index) {
  return index >= 0 && static_cast<std::size_t>(index) < items.size()
             ? &items[static_cast<std::size_t>(index)]
             : nullptr;
}

void PaintErrorRing(Canvas canvas, const ReviewBox& box, const MarkSizes& sizes,
                    std::string_view tag, Rgb colour) {
  const PixelRect ring = ErrorRingRect(box, sizes);
  PaintRing(canvas, ring, ErrorRingThickness(sizes), colour);
  PaintLabel(canvas, ring.left, ring.bottom, tag, sizes.labelScale, kBackingColour, colour);
}

}  // namespace

std::span<const Rgb> HypothesisPalette() {
  return kPalette;
}

Rgb HypothesisColour(int id) {
  const int count = static_cast<int>(kPalette.size());
  return kPalette[static_cast<std::size_t>((id % count + count) % count)];
}

MarkSizes MarkSizesFor(int height) {
  MarkSizes sizes;
  sizes.line = std::max(1, height / 540);
  sizes.captionScale = std::max(1, height / 360);
  sizes.labelScale = std::max(1, height / 540);
  return sizes;
}

PixelRect BoxRect(const ReviewBox& box, const MarkSizes& sizes) {
  if (IsPoint(box)) {
    const std::int64_t half = 3 * std::int64_t{sizes.line};
    const std::int64_t x = NearestPixel(box.left);
    const std::int64_t y = NearestPixel(box.top);
    return {x - half, y - half, x + half + 1, y + half + 1};
  }
  const std::int64_t left = NearestPixel(box.left);
  const std::int64_t top = NearestPixel(box.top);
  const std::int64_t right = std::max(NearestPixel(box.left + std::max(box.width, 0.0)), left + 1);
  const std::int64_t bottom = std::max(NearestPixel(box.top + std::max(box.height, 0.0)), top + 1);
  return {left, top, right, bottom};
}

int ErrorRingThickness(const MarkSizes& sizes) {
  return 2 * sizes.line;
}

PixelRect ErrorRingRect(const ReviewBox& box, const MarkSizes& sizes) {
  // Outside the hypothesis ring (one line) with one line of gap.
  return Grown(BoxRect(box, sizes), 2 * std::int64_t{sizes.line} + ErrorRingThickness(sizes));
}

void PaintMarks(Canvas canvas, const FrameMarks& marks, const MarkSizes& sizes) {
  const int line = sizes.line;
  for (const ReviewBox& box : marks.truth) {
    const PixelRect rect = BoxRect(box, sizes);
    if (IsPoint(box))
      PaintPlus(canvas, NearestPixel(box.left), NearestPixel(box.top), 3 * line, line,
                kTruthColour);
    else
      PaintRing(canvas, rect, line, kTruthColour);
  }
  for (const ReviewBox& box : marks.hypotheses)
    PaintRing(canvas, Grown(BoxRect(box, sizes), line), line, HypothesisColour(box.id));
  // The ids after every ring, so no ring crosses a label.
  for (const ReviewBox& box : marks.truth) {
    // Inside a box; right of a point's plus, which it would hide.
    const PixelRect rect = BoxRect(box, sizes);
    const std::int64_t x = IsPoint(box) ? rect.right + 2 * line : rect.left + line;
    PaintLabel(canvas, x, rect.top + line, std::to_string(box.id), sizes.labelScale, kTruthColour,
               kBackingColour);
  }
  for (const ReviewBox& box : marks.hypotheses) {
    const PixelRect ring = Grown(BoxRect(box, sizes), line);
    const PixelRect label = LabelRect(0, 0, std::to_string(box.id), sizes.labelScale);
    PaintLabel(canvas, ring.left, ring.top - label.Height(), std::to_string(box.id),
               sizes.labelScale, HypothesisColour(box.id), kBackingColour);
  }
  for (const int index : marks.misses) {
    if (const ReviewBox* box = At(marks.truth, index))
      PaintErrorRing(canvas, *box, sizes, "FN", kMissColour);
  }
  for (const int index : marks.falsePositives) {
    if (const ReviewBox* box = At(marks.hypotheses, index))
      PaintErrorRing(canvas, *box, sizes, "FP", kFalsePositiveColour);
  }
  for (const IdentitySwitch& change : marks.switches) {
    const ReviewBox* truth = At(marks.truth, change.truth);
    const ReviewBox* hypothesis = At(marks.hypotheses, change.hypothesis);
    if (truth == nullptr || hypothesis == nullptr)
      continue;
    const std::string tag =
        "IDSW " + std::to_string(change.previousId) + ">" + std::to_string(hypothesis->id);
    PaintErrorRing(canvas, *truth, sizes, tag, kSwitchColour);
  }
}

}  // namespace review
