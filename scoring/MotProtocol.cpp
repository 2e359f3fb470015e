#include "scoring/MotProtocol.h"

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

// The end of the run of rows that share the frame of rows[begin] (rows in
// frame order).
template <class Row>
std::size_t FrameEnd(const std::vector<Row>& rows, std::size_t begin) {
  std::size_t end = begin;
  while (end < rows.size() && rows[end].frame == rows[begin].frame)
    ++end;
  return end;
}

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
  OverlapFinder finder;
  std::vector<BoxObject> truthBoxes;
  std::vector<BoxObject> hypothesisBoxes;
  std::vector<ScoredPair> pairs;
  std::vector<int> pairOf;
  std::vector<char> removed(hypothesisRows.size(), 0);
  std::size_t t = 0;
  for (std::size_t h = 0; h < hypothesisRows.size();) {
    const std::size_t hypothesesBegin = h;
    const std::size_t hypothesesEnd = FrameEnd(hypothesisRows, h);
    h = hypothesesEnd;
    while (t < truthRows.size() && truthRows[t].frame < hypothesisRows[hypothesesBegin].frame)
      ++t;
    const std::size_t truthBegin = t;
    const std::size_t truthEnd =
        t < truthRows.size() && truthRows[t].frame == hypothesisRows[hypothesesBegin].frame
            ? FrameEnd(truthRows, t)
            : t;
    truthBoxes.clear();
    for (std::size_t i = truthBegin; i < truthEnd; ++i)
      truthBoxes.push_back(truthRows[i].box);
    hypothesisBoxes.clear();
    for (std::size_t j = hypothesesBegin; j < hypothesesEnd; ++j)
      hypothesisBoxes.push_back(hypothesisRows[j].object);
    pairs.clear();
    finder.Find(truthBoxes, hypothesisBoxes, [&pairs](std::size_t i, std::size_t j, double iou) {
      if (iou >= kDistractorIou - kSimilaritySlack)
        pairs.push_back({static_cast<int>(i), static_cast<int>(j), iou});
    });
    matching.Solve(pairs, static_cast<int>(truthEnd - truthBegin),
                   static_cast<int>(hypothesesEnd - hypothesesBegin), pairOf);
    for (std::size_t i = 0; i < pairOf.size(); ++i) {
      if (pairOf[i] < 0)
        continue;
      const ScoredPair& p = pairs[static_cast<std::size_t>(pairOf[i])];
      if (p.score > kSimilaritySlack && IsDistractor(truthRows[truthBegin + i].classId))
        removed[hypothesesBegin + static_cast<std::size_t>(p.hypothesis)] = 1;
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
