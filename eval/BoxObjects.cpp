#include "eval/BoxObjects.h"

#include <algorithm>

double BoxIou(const BoxObject& a, const BoxObject& b) {
  // Far corners first, then the sizes back from them: the same roundings as
  // the reference arithmetic on corner coordinates.
  const double aRight = a.left + a.width;
  const double aBottom = a.top + a.height;
  const double bRight = b.left + b.width;
  const double bBottom = b.top + b.height;
  const double overlapWidth = std::max(std::min(aRight, bRight) - std::max(a.left, b.left), 0.0);
  const double overlapHeight = std::max(std::min(aBottom, bBottom) - std::max(a.top, b.top), 0.0);
  const double intersection = overlapWidth * overlapHeight;
  const double areaA = (aRight - a.left) * (aBottom - a.top);
  const double areaB = (bRight - b.left) * (bBottom - b.top);
  const double unionArea = areaA + areaB - intersection;
  if (areaA <= kSimilaritySlack || areaB <= kSimilaritySlack || unionArea <= kSimilaritySlack)
    return 0.0;
  return intersection / unionArea;
}

FrameObject BoxCentre(const BoxObject& box) {
  return {box.id, box.left + box.width / 2, box.top + box.height / 2};
}

FrameObjects BoxCentres(const BoxFrames& boxes) {
  std::vector<ObjectRow> rows;
  rows.reserve(boxes.All().size());
  const auto frames = boxes.Frames();
  for (std::size_t i = 0; i < frames.size(); ++i) {
    for (const BoxObject& box : boxes.At(i))
      rows.push_back({frames[i], BoxCentre(box)});
  }
  return FrameObjects(std::move(rows), FrameObjects::Frames::kAny);
}
