#include "eval/MotProtocol.h"

#include <algorithm>
#include <cmath>

#include "eval/BestMatching.h"

namespace {

constexpr double kDistractorIou = 0.5;

bool IsDistractor(int classId) {
  return std::find(std::begin(kDistractorClasses), std::end(kDistractorClasses), classId) !=
         std::end(kDistractorClasses);
}

bool IsScored(const MotTruthRow& row) {
  return row.classId == kPedestrianClass && std::trunc(row.conf) != 0.0;
}

// Rows of one frame: [begin, end) of the sorted order.
struct FrameSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
};

}  // namespace

std::optional<ProtocolProblem> ApplyMotProtocol(std::span<const MotTruthRow> truth,
                                                std::span<const BoxRow> hypotheses,
                                                ProtocolResult& result) {
  result = {};
  for (const MotTruthRow& row : truth) {
    if (row.classId < kFirstTruthClass || row.classId > kLastTruthClass)
      return ProtocolProblem{row.line, "class " + std::to_string(row.classId) +
                                           " is none of the benchmark's classes 1 to 13"};
  }
  std::vector<MotTruthRow> truthRows(truth.begin(), truth.end());
  std::stable_sort(truthRows.begin(), truthRows.end(),
                   [](const MotTruthRow& a, const MotTruthRow& b) { return a.frame < b.frame; });
  std::vector<BoxRow> hypothesisRows(hypotheses.begin(), hypotheses.end());
  std::stable_sort(hypothesisRows.begin(), hypothesisRows.end(),
                   [](const BoxRow& a, const BoxRow& b) { return a.frame < b.frame; });

  BestMatching matching;
  std::vector<ScoredPair> pairs;
  std::vector<int> pairOf;
  std::vector<char> removed(hypothesisRows.size(), 0);
  std::size_t t = 0;
  for (std::size_t h = 0; h < hypothesisRows.size();) {
    const int frame = hypothesisRows[h].frame;
    const FrameSpan hyps{h, static_cast<std::size_t>(
                                std::upper_bound(hypothesisRows.begin() + static_cast<std::ptrdiff_t>(h),
                                                 hypothesisRows.end(), frame,
                                                 [](int f, const BoxRow& r) { return f < r.frame; }) -
                                hypothesisRows.begin())};
    while (t < truthRows.size() && truthRows[t].frame < frame)
      ++t;
    FrameSpan boxes{t, t};
    while (boxes.end < truthRows.size() && truthRows[boxes.end].frame == frame)
      ++boxes.end;
    h = hyps.end;
    pairs.clear();
    for (std::size_t i = boxes.begin; i < boxes.end; ++i) {
      for (std::size_t j = hyps.begin; j < hyps.end; ++j) {
        const double iou = BoxIou(truthRows[i].box, hypothesisRows[j].object);
        if (iou >= kDistractorIou - kSimilaritySlack)
          pairs.push_back({static_cast<int>(i - boxes.begin), static_cast<int>(j - hyps.begin), iou});
      }
    }
    matching.Solve(pairs, static_cast<int>(boxes.end - boxes.begin),
                   static_cast<int>(hyps.end - hyps.begin), pairOf);
    for (std::size_t i = 0; i < pairOf.size(); ++i) {
      if (pairOf[i] < 0)
        continue;
      const ScoredPair& p = pairs[static_cast<std::size_t>(pairOf[i])];
      if (p.score > kSimilaritySlack && IsDistractor(truthRows[boxes.begin + i].classId))
        removed[hyps.begin + static_cast<std::size_t>(p.hypothesis)] = 1;
    }
  }

  for (std::size_t j = 0; j < hypothesisRows.size(); ++j) {
    if (removed[j])
      ++result.removedHypotheses;
    else
      result.hypotheses.push_back(hypothesisRows[j]);
  }
  for (const MotTruthRow& row : truthRows) {
    if (IsScored(row))
      result.truth.push_back({row.frame, row.box});
    else
      ++result.unscoredTruth;
  }
  return std::nullopt;
}

std::vector<BoxRow> AllTruthBoxes(std::span<const MotTruthRow> truth) {
  std::vector<BoxRow> rows;
  rows.reserve(truth.size());
  for (const MotTruthRow& row : truth)
    rows.push_back({row.frame, row.box});
  return rows;
}
