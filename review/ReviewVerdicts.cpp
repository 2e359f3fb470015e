#include "review/ReviewVerdicts.h"

#include <algorithm>
#include <climits>
#include <map>

#include "eval/BenchmarkClear.h"
#include "eval/ClearMatching.h"
#include "eval/Evaluation.h"
#include "eval/ScoredSequence.h"
#include "scoring/MotSequenceFile.h"

namespace review {
namespace {

std::vector<ReviewBox> BoxesOf(std::span<const BoxObject> objects) {
  std::vector<ReviewBox> boxes;
  boxes.reserve(objects.size());
  for (const BoxObject& b : objects)
    boxes.push_back({b.id, b.left, b.top, b.width, b.height});
  return boxes;
}

// The hypotheses no truth object took: the frame's false positives.
std::vector<int> Unmatched(const std::vector<int>& hypothesisOf, std::size_t hypotheses) {
  std::vector<char> taken(hypotheses, 0);
  for (const int h : hypothesisOf) {
    if (h >= 0)
      taken[static_cast<std::size_t>(h)] = 1;
  }
  std::vector<int> left;
  for (std::size_t h = 0; h < hypotheses; ++h) {
    if (!taken[h])
      left.push_back(static_cast<int>(h));
  }
  return left;
}

void Count(FrameVerdicts& frame) {
  frame.counts = {static_cast<int>(frame.truth.size()), static_cast<int>(frame.hypotheses.size()),
                  static_cast<int>(frame.misses.size()),
                  static_cast<int>(frame.falsePositives.size()),
                  static_cast<int>(frame.switches.size())};
}

// Boxes matched by IoU: the benchmark CLEAR matching's own frame verdicts.
std::vector<FrameVerdicts> BoxVerdicts(const BoxFrames& truth, const BoxFrames& hypotheses,
                                       double iou) {
  const ScoredSequence sequence = ScoredSequence::OfBoxes(truth, hypotheses);
  std::vector<FrameVerdicts> frames;
  frames.reserve(sequence.FrameCount());
  const ClearObserver keep = [&](const ClearFrameVerdict& verdict) {
    const ScoredFrame scored = sequence.Frame(verdict.frameIndex);
    FrameVerdicts frame;
    frame.frame = scored.frame;
    frame.truth = BoxesOf(truth.InFrame(scored.frame));
    frame.hypotheses = BoxesOf(hypotheses.InFrame(scored.frame));
    std::vector<int> hypothesisOf(verdict.hypothesisOf.begin(), verdict.hypothesisOf.end());
    for (std::size_t t = 0; t < hypothesisOf.size(); ++t) {
      if (hypothesisOf[t] < 0)
        frame.misses.push_back(static_cast<int>(t));
      else if (verdict.switchedFrom[t] >= 0)
        frame.switches.push_back(
            {static_cast<int>(t), hypothesisOf[t],
             sequence.HypothesisIds()[static_cast<std::size_t>(verdict.switchedFrom[t])]});
    }
    frame.falsePositives = Unmatched(hypothesisOf, frame.hypotheses.size());
    // The pairs the identity metrics count: similarity at least the
    // threshold, no slack.
    for (const SimilarPair& p : scored.pairs) {
      if (p.similarity >= iou)
        frame.withinReach.emplace_back(
            sequence.TruthIds()[static_cast<std::size_t>(
                scored.truth[static_cast<std::size_t>(p.truth)])],
            sequence.HypothesisIds()[static_cast<std::size_t>(
                scored.hypotheses[static_cast<std::size_t>(p.hypothesis)])]);
    }
    Count(frame);
    frames.push_back(std::move(frame));
  };
  BenchmarkClear(sequence, iou, keep);
  return frames;
}

// Box centres matched by distance: the point evaluation's own frame
// verdicts. It counts a frame's switches; which matches they are follows
// from its rule (a match to another id than the truth's last one).
std::vector<FrameVerdicts> PointVerdicts(const BoxFrames& truth, const BoxFrames& hypotheses,
                                         double distance, bool& agree) {
  std::vector<FrameVerdicts> frames;
  std::map<int, int> lastMatch;
  const FrameObserver keep = [&](const FrameVerdict& verdict) {
    FrameVerdicts frame;
    frame.frame = verdict.frame;
    frame.truth = BoxesOf(truth.InFrame(verdict.frame));
    frame.hypotheses = BoxesOf(hypotheses.InFrame(verdict.frame));
    agree = agree && frame.truth.size() == verdict.truth.size() &&
            frame.hypotheses.size() == verdict.hypotheses.size();
    for (std::size_t t = 0; t < verdict.truth.size(); ++t) {
      const int h = verdict.match.hypothesisOf[t];
      if (h < 0) {
        frame.misses.push_back(static_cast<int>(t));
        continue;
      }
      const int id = verdict.hypotheses[static_cast<std::size_t>(h)].id;
      const auto [last, first] = lastMatch.try_emplace(verdict.truth[t].id, id);
      if (!first && last->second != id)
        frame.switches.push_back({static_cast<int>(t), h, last->second});
      last->second = id;
    }
    agree = agree && static_cast<int>(frame.switches.size()) == verdict.match.switches;
    frame.falsePositives = Unmatched(verdict.match.hypothesisOf, frame.hypotheses.size());
    for (const FrameObject& t : verdict.truth) {
      for (const FrameObject& h : verdict.hypotheses) {
        if (Distance(t, h) <= distance)
          frame.withinReach.emplace_back(t.id, h.id);
      }
    }
    Count(frame);
    frames.push_back(std::move(frame));
  };
  EvaluationSettings settings;
  settings.threshold = distance;
  settings.first = INT_MIN;
  settings.last = INT_MAX;
  Evaluate(BoxCentres(truth), BoxCentres(hypotheses), settings, {}, keep);
  return frames;
}

}  // namespace

const FrameVerdicts* SequenceVerdicts::Find(int frame) const {
  const auto it = std::lower_bound(frames.begin(), frames.end(), frame,
                                   [](const FrameVerdicts& v, int f) { return v.frame < f; });
  return it != frames.end() && it->frame == frame ? &*it : nullptr;
}

std::optional<VerdictProblem> EvaluateForReview(std::span<const MotTruthRow> truth,
                                                std::span<const BoxRow> hypotheses,
                                                const MotScoringSettings& settings,
                                                SequenceVerdicts& verdicts) {
  // The same rows, chosen the same way, for the verdicts and for the totals.
  ProtocolResult kept;
  if (settings.protocol) {
    if (auto problem = ApplyMotProtocol(truth, hypotheses, kept))
      return VerdictProblem{problem->line, problem->what};
  } else {
    kept.truth = AllTruthBoxes(truth);
    kept.hypotheses.assign(hypotheses.begin(), hypotheses.end());
  }
  // The totals as evaluate prints them.
  MotScoringSettings scoring = settings;
  scoring.sequence.metrics = {true, true, false};
  MotSequenceScore score;
  if (auto problem = ScoreMotRows(truth, hypotheses, scoring, score))
    return VerdictProblem{0, *problem};
  const BoxFrames truthBoxes(std::move(kept.truth));
  const BoxFrames hypothesisBoxes(std::move(kept.hypotheses));
  SequenceVerdicts made;
  bool agree = true;
  made.frames = settings.matching == MatchingKind::kBoxIou
                    ? BoxVerdicts(truthBoxes, hypothesisBoxes, settings.sequence.iou)
                    : PointVerdicts(truthBoxes, hypothesisBoxes, settings.sequence.distance, agree);
  const ClearCounts& clear = score.result.clear;
  made.truthObjects = clear.gt;
  made.misses = clear.fn;
  made.falsePositives = clear.fp;
  made.switches = clear.idsw;
  made.mota = Mota(clear);
  made.idf1 = Idf1(score.result.identity);
  made.removedHypotheses = score.removedHypotheses;
  made.unscoredTruth = score.unscoredTruth;
  long long misses = 0;
  long long falsePositives = 0;
  long long switches = 0;
  for (const FrameVerdicts& frame : made.frames) {
    misses += static_cast<long long>(frame.misses.size());
    falsePositives += static_cast<long long>(frame.falsePositives.size());
    switches += static_cast<long long>(frame.switches.size());
  }
  if (!agree || misses != clear.fn || falsePositives != clear.fp || switches != clear.idsw)
    return VerdictProblem{0, "the frame verdicts do not add up to the evaluation's counts"};
  verdicts = std::move(made);
  return std::nullopt;
}

std::optional<std::string> EvaluateFilesForReview(const std::string& truthFile,
                                                  const std::string& hypothesisFile,
                                                  const MotScoringSettings& settings,
                                                  SequenceVerdicts& verdicts) {
  std::vector<MotTruthRow> truth;
  if (auto problem = ReadMotTruthFile(truthFile, std::nullopt, truth))
    return problem;
  std::vector<BoxRow> hypotheses;
  if (auto problem = ReadMotBoxFile(hypothesisFile, std::nullopt, hypotheses))
    return problem;
  if (auto problem = EvaluateForReview(truth, hypotheses, settings, verdicts)) {
    if (problem->truthLine > 0)
      return truthFile + ":" + std::to_string(problem->truthLine) + ": " + problem->what;
    return problem->what;
  }
  return std::nullopt;
}

}  // namespace review
