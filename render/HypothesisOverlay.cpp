#include "render/HypothesisOverlay.h"

#include <algorithm>
#include <cmath>

namespace {

// Positions far outside the picture paint nothing; clamping them first
// keeps every sum below in range.
constexpr double kFarAway = 1e12;

std::int64_t NearestPixel(double value) {
  return static_cast<std::int64_t>(std::floor(std::clamp(value, -kFarAway, kFarAway) + 0.5));
}

// Fills picture columns left..right-1 and picture rows top..bottom-1 (counted
// from the top of a 240-row picture), the part inside the buffer only.
void FillRect(std::span<std::uint8_t> pixels, int width, std::int64_t left, std::int64_t top,
              std::int64_t right, std::int64_t bottom, OverlayColour colour) {
  if (width <= 0)
    return;
  const std::int64_t stride = static_cast<std::int64_t>(width) * 3;
  const std::int64_t rows = static_cast<std::int64_t>(pixels.size()) / stride;
  // Picture row r is buffer row kPictureLastRow - r (the buffer is bottom-up).
  const std::int64_t firstRow = std::max<std::int64_t>(kPictureLastRow - (bottom - 1), 0);
  const std::int64_t endRow = std::min<std::int64_t>(kPictureLastRow - top + 1, rows);
  const std::int64_t firstColumn = std::max<std::int64_t>(left, 0);
  const std::int64_t endColumn = std::min<std::int64_t>(right, width);
  for (std::int64_t row = firstRow; row < endRow; ++row) {
    for (std::int64_t column = firstColumn; column < endColumn; ++column) {
      std::uint8_t* pixel = pixels.data() + row * stride + column * 3;
      pixel[0] = colour.blue;
      pixel[1] = colour.green;
      pixel[2] = colour.red;
    }
  }
}

// The misses of every frame, and for each hypothesis whether it is a false
// positive, from the evaluation's own frame-by-frame matching.
void MarkErrors(const FrameObjects& hypotheses, const FrameObjects& truth, double threshold,
                const IgnoreTest& ignorable, std::vector<char>& falsePositive,
                std::vector<ObjectRow>& misses) {
  falsePositive.assign(hypotheses.All().size(), 0);
  const FrameObserver mark = [&](const FrameVerdict& verdict) {
    for (std::size_t t = 0; t < verdict.truth.size(); ++t) {
      if (verdict.match.hypothesisOf[t] < 0)
        misses.push_back({verdict.frame, verdict.truth[t]});
    }
    if (verdict.hypotheses.empty())
      return;
    const auto first =
        static_cast<std::size_t>(verdict.hypotheses.data() - hypotheses.All().data());
    for (std::size_t h = 0; h < verdict.hypotheses.size(); ++h)
      falsePositive[first + h] = !verdict.match.matched[h] && !verdict.ignored[h];
  };
  EvaluationSettings settings;
  settings.threshold = threshold;
  Evaluate(truth, hypotheses, settings, ignorable, mark);
}

}  // namespace

void PaintRing(std::span<std::uint8_t> pixels, int width, std::int64_t x, std::int64_t y, int size,
               int gap, int thickness, OverlayColour colour) {
  const std::int64_t left = x - gap - thickness;
  const std::int64_t right = x + size + gap + thickness;  // one past
  const std::int64_t top = y - size + 1 - gap - thickness;
  const std::int64_t bottom = y + 1 + gap + thickness;  // one past
  FillRect(pixels, width, left, top, right, top + thickness, colour);
  FillRect(pixels, width, left, bottom - thickness, right, bottom, colour);
  FillRect(pixels, width, left, top + thickness, left + thickness, bottom - thickness, colour);
  FillRect(pixels, width, right - thickness, top + thickness, right, bottom - thickness, colour);
}

HypothesisOverlay::HypothesisOverlay(FrameObjects hypotheses)
    : m_hypotheses(std::move(hypotheses)), m_falsePositive(m_hypotheses.All().size(), 0) {}

HypothesisOverlay::HypothesisOverlay(FrameObjects hypotheses, const FrameObjects& truth,
                                     double threshold, const IgnoreTest& ignorable)
    : m_hypotheses(std::move(hypotheses)) {
  std::vector<ObjectRow> misses;
  MarkErrors(m_hypotheses, truth, threshold, ignorable, m_falsePositive, misses);
  m_misses = FrameObjects(std::move(misses));
}

void HypothesisOverlay::Paint(std::span<std::uint8_t> pixels, int width, int frame) const {
  const std::span<const FrameObject> here = m_hypotheses.InFrame(frame);
  for (const FrameObject& h : here) {
    PaintRing(pixels, width, NearestPixel(h.x), NearestPixel(h.y), kMarkerSize, 0, kRingWidth,
              kHypothesisColour);
  }
  for (const FrameObject& miss : m_misses.InFrame(frame)) {
    PaintRing(pixels, width, NearestPixel(miss.x), NearestPixel(miss.y), kMarkerSize, kRingWidth,
              kRingWidth, kMissColour);
  }
  if (here.empty())
    return;
  const auto first = static_cast<std::size_t>(here.data() - m_hypotheses.All().data());
  for (std::size_t h = 0; h < here.size(); ++h) {
    if (m_falsePositive[first + h])
      PaintRing(pixels, width, NearestPixel(here[h].x), NearestPixel(here[h].y), kMarkerSize,
                kRingWidth, kRingWidth, kFalsePositiveColour);
  }
}
