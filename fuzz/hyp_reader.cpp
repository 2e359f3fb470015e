// Feeds arbitrary bytes to the hypothesis reader in both layouts, and as
// MOT rows through a placement, then scores what it read against a fixed
// truth and against itself. Besides the sanitizers' checks it traps when the
// reader hands over an object it promises never to (a frame out of range, a
// position not finite, one id twice in a frame), names a line the text does
// not have, or when the metrics do not add up.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "eval/Evaluation.h"
#include "eval/HypothesisReader.h"
#include "fuzz/FuzzSupport.h"

namespace {

using fuzz::Check;

// Two targets crossing the picture, present in frames 0 to 99.
const FrameObjects& Truth() {
  static const FrameObjects truth = [] {
    std::vector<ObjectRow> rows;
    for (int frame = 0; frame < 100; ++frame) {
      rows.push_back({frame, {0, 10.0 + frame, 50.0}});
      rows.push_back({frame, {1, 110.0 - frame, 50.0}});
    }
    return FrameObjects(std::move(rows));
  }();
  return truth;
}

void CheckRows(const std::vector<ObjectRow>& rows) {
  for (const ObjectRow& row : rows) {
    Check(IsTrackFrame(row.frame));
    Check(std::isfinite(row.object.x) && std::isfinite(row.object.y));
    Check(std::fabs(row.object.x) <= 2e9 && std::fabs(row.object.y) <= 2e9);
  }
}

bool Finite(std::optional<double> ratio) {
  return !ratio || std::isfinite(*ratio);
}

void CheckEvaluation(const FrameObjects& truth, const FrameObjects& hypotheses, double threshold) {
  EvaluationSettings settings;
  settings.threshold = threshold;
  const auto ignoreSome = [](const FrameObject& h, int) { return h.id % 3 == 0; };
  const Evaluation e = Evaluate(truth, hypotheses, settings, ignoreSome);
  const EvaluationTotals& t = e.totals;
  Check(t.matches + t.fn == t.gt);
  Check(t.matches + t.fp + t.ignored == t.hypotheses);
  Check(t.idsw <= t.matches && t.frag <= t.fn);
  Check(t.idtp >= 0 && t.idtp <= t.gt && t.idtp <= t.hypotheses - t.ignored);
  Check(t.idfp >= 0 && t.idfn >= 0);
  Check(t.mt + t.pt + t.ml == static_cast<int>(e.targets.size()));
  Check(t.distanceSum >= 0.0 && t.distanceSum <= threshold * t.matches + 1e-6);
  for (const auto ratio : {Mota(t), Motp(t), Idp(t), Idr(t), Idf1(t)})
    Check(Finite(ratio));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  for (const HypothesisFormat format : {HypothesisFormat::kPoints, HypothesisFormat::kMot}) {
    std::vector<ObjectRow> rows;
    const auto problem = ReadHypotheses(text, format, rows);
    CheckRows(rows);
    if (problem) {
      Check(problem->line >= 1 && problem->line <= lines && !problem->what.empty());
      continue;
    }
    // Read without a problem, no id is given twice in a frame: nothing is
    // dropped on the way in.
    const std::size_t count = rows.size();
    const FrameObjects hypotheses(std::move(rows));
    Check(hypotheses.All().size() == count);
    CheckEvaluation(Truth(), hypotheses, 8.0);
    CheckEvaluation(hypotheses, hypotheses, 0.0);
  }
  // MOTChallenge rows placed by a mapping, as a converted series' geometry
  // places them: every row handed over lies in the frames.
  const MotPlacement place = [](int frame, double x, double y) {
    return PlacedObject{frame / 7, x / 2, y / 2};
  };
  std::vector<ObjectRow> rows;
  int outside = 0;
  const auto problem = ReadPlacedMotHypotheses(text, place, rows, outside);
  CheckRows(rows);
  Check(outside >= 0 && static_cast<std::size_t>(outside) <= lines);
  if (problem)
    Check(problem->line >= 1 && problem->line <= lines && !problem->what.empty());
  return 0;
}
