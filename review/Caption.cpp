#include "review/Caption.h"

#include <array>
#include <cstdio>

#include "review/Painting.h"

namespace review {

std::string RatioText(const std::optional<double>& value) {
  if (!value)
    return "-";
  std::array<char, 48> text{};
  std::snprintf(text.data(), text.size(), "%.4f", *value);
  return text.data();
}

std::string CaptionText(const CaptionFigures& figures) {
  return "frame " + std::to_string(figures.frame) + "  MOTA " + RatioText(figures.mota) +
         "  IDF1 " + RatioText(figures.idf1) + "  FN " + std::to_string(figures.misses) + "  FP " +
         std::to_string(figures.falsePositives) + "  IDSW " + std::to_string(figures.switches);
}

PixelRect PaintCaption(Canvas canvas, std::string_view text, const MarkSizes& sizes) {
  return PaintLabel(canvas, 0, 0, text, sizes.captionScale, kTruthColour, kBackingColour);
}

}  // namespace review
