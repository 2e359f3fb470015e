#include "eval/ScoredSequence.h"

#include <algorithm>
#include <cmath>

#include "eval/ClearMatching.h"

namespace {

template <class Object>
std::vector<int> SortedIds(const FrameTable<Object>& table) {
  std::vector<int> ids;
  ids.reserve(table.All().size());
  for (const Object& object : table.All())
    ids.push_back(object.id);
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  return ids;
}

int IndexOf(const std::vector<int>& ids, int id) {
  return static_cast<int>(std::lower_bound(ids.begin(), ids.end(), id) - ids.begin());
}

}  // namespace

struct ScoredSequence::Builder {
  // pairs(truthHere, hypothesesHere, found) calls found(i, j, s) for each
  // pair of the frame with similarity s above 0, by i, then j.
  template <class Object, class Pairs>
  static ScoredSequence Build(const FrameTable<Object>& truth, const FrameTable<Object>& hypotheses,
                              Pairs pairs) {
    ScoredSequence s;
    s.m_truthIds = SortedIds(truth);
    s.m_hypothesisIds = SortedIds(hypotheses);
    s.m_truth.reserve(truth.All().size());
    s.m_hypotheses.reserve(hypotheses.All().size());
    const auto truthFrames = truth.Frames();
    const auto hypothesisFrames = hypotheses.Frames();
    std::size_t t = 0;
    std::size_t h = 0;
    while (t < truthFrames.size() || h < hypothesisFrames.size()) {
      const bool takeTruth = h == hypothesisFrames.size() ||
                             (t < truthFrames.size() && truthFrames[t] <= hypothesisFrames[h]);
      const bool takeHypotheses =
          t == truthFrames.size() ||
          (h < hypothesisFrames.size() && hypothesisFrames[h] <= truthFrames[t]);
      const int frame = takeTruth ? truthFrames[t] : hypothesisFrames[h];
      const std::span<const Object> truthHere =
          takeTruth ? truth.At(t++) : std::span<const Object>();
      const std::span<const Object> hypothesesHere =
          takeHypotheses ? hypotheses.At(h++) : std::span<const Object>();
      s.m_frames.push_back(frame);
      for (const Object& object : truthHere)
        s.m_truth.push_back(IndexOf(s.m_truthIds, object.id));
      for (const Object& object : hypothesesHere)
        s.m_hypotheses.push_back(IndexOf(s.m_hypothesisIds, object.id));
      pairs(truthHere, hypothesesHere, [&s](std::size_t i, std::size_t j, double value) {
        s.m_pairs.push_back({static_cast<int>(i), static_cast<int>(j), value});
      });
      s.m_truthStart.push_back(s.m_truth.size());
      s.m_hypothesisStart.push_back(s.m_hypotheses.size());
      s.m_pairStart.push_back(s.m_pairs.size());
    }
    return s;
  }
};

ScoredSequence ScoredSequence::OfBoxes(const BoxFrames& truth, const BoxFrames& hypotheses) {
  OverlapFinder finder;
  return Builder::Build(truth, hypotheses,
                        [&finder](std::span<const BoxObject> a, std::span<const BoxObject> b,
                                  const auto& found) { finder.Find(a, b, found); });
}

ScoredSequence ScoredSequence::OfPoints(const FrameObjects& truth, const FrameObjects& hypotheses,
                                        double reach) {
  const auto pairs = [reach](std::span<const FrameObject> a, std::span<const FrameObject> b,
                             const auto& found) {
    for (std::size_t i = 0; i < a.size(); ++i) {
      for (std::size_t j = 0; j < b.size(); ++j) {
        const double value = PointSimilarity(a[i], b[j], reach);
        if (value > 0.0)
          found(i, j, value);
      }
    }
  };
  return Builder::Build(truth.Table(), hypotheses.Table(), pairs);
}

ScoredFrame ScoredSequence::Frame(std::size_t index) const {
  if (index >= m_frames.size())
    return {};
  const auto part = [index](const auto& values, const std::vector<std::size_t>& start) {
    return std::span(values).subspan(start[index], start[index + 1] - start[index]);
  };
  return {m_frames[index], part(m_truth, m_truthStart), part(m_hypotheses, m_hypothesisStart),
          part(m_pairs, m_pairStart)};
}

double PointSimilarity(const FrameObject& a, const FrameObject& b, double reach) {
  const double distance = Distance(a, b);
  if (!(reach > 0.0))
    return distance == 0.0 ? 1.0 : 0.0;
  return std::max(0.0, 1.0 - distance / reach);
}
