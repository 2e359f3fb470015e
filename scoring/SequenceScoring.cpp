#include "scoring/SequenceScoring.h"

#include <climits>

#include "eval/Evaluation.h"
#include "eval/ScoredSequence.h"

namespace {

std::optional<double> Ratio(double numerator, double denominator) {
  if (denominator == 0.0)
    return std::nullopt;
  return numerator / denominator;
}

}  // namespace

SequenceResult ScoreBoxes(const BoxFrames& truth, const BoxFrames& hypotheses,
                          const SequenceSettings& settings) {
  const ScoredSequence sequence = ScoredSequence::OfBoxes(truth, hypotheses);
  SequenceResult result;
  result.matching = MatchingKind::kBoxIou;
  result.metrics = settings.metrics;
  result.frames = settings.frames.value_or(static_cast<long long>(sequence.FrameCount()));
  result.clear.gt = static_cast<long long>(sequence.TruthObjectCount());
  result.clear.hypotheses = static_cast<long long>(sequence.HypothesisCount());
  if (settings.metrics.clear)
    result.clear = BenchmarkClear(sequence, settings.iou);
  if (settings.metrics.identity)
    result.identity = BenchmarkIdentity(sequence, settings.iou);
  if (settings.metrics.hota)
    result.hota = SequenceHota(sequence);
  return result;
}

SequenceResult ScorePoints(const FrameObjects& truth, const FrameObjects& hypotheses,
                           const SequenceSettings& settings) {
  EvaluationSettings evaluation;
  evaluation.threshold = settings.distance;
  evaluation.first = INT_MIN;
  evaluation.last = INT_MAX;
  SequenceResult result = ScorePointEvaluation(truth, hypotheses, evaluation, {}, settings.metrics);
  if (settings.frames)
    result.frames = *settings.frames;
  return result;
}

SequenceResult ScorePointEvaluation(const FrameObjects& truth, const FrameObjects& hypotheses,
                                    const EvaluationSettings& evaluation,
                                    const IgnoreTest& ignorable, const MetricFamilies& metrics) {
  SequenceResult result;
  result.matching = MatchingKind::kPointDistance;
  result.metrics = metrics;
  // The objects the evaluation scored, the ignored hypotheses left out: what
  // HOTA scores.
  std::vector<ObjectRow> scoredTruth;
  std::vector<ObjectRow> scoredHypotheses;
  FrameObserver keep;
  if (metrics.hota) {
    keep = [&](const FrameVerdict& verdict) {
      for (const FrameObject& t : verdict.truth)
        scoredTruth.push_back({verdict.frame, t});
      for (std::size_t h = 0; h < verdict.hypotheses.size(); ++h) {
        if (!verdict.ignored[h])
          scoredHypotheses.push_back({verdict.frame, verdict.hypotheses[h]});
      }
    };
  }
  const EvaluationTotals t = Evaluate(truth, hypotheses, evaluation, ignorable, keep).totals;
  result.frames = t.frames;
  result.clear.gt = t.gt;
  result.clear.hypotheses = t.hypotheses - t.ignored;
  if (metrics.clear)
    result.clear = {t.gt,         t.hypotheses - t.ignored,
                    t.matches,    t.fn,
                    t.fp,         t.idsw,
                    t.frag,       t.mt,
                    t.pt,         t.ml,
                    t.distanceSum};
  if (metrics.identity)
    result.identity = {t.idtp, t.idfn, t.idfp};
  if (metrics.hota) {
    const ScoredSequence sequence = ScoredSequence::OfPoints(
        FrameObjects(std::move(scoredTruth), FrameObjects::Frames::kAny),
        FrameObjects(std::move(scoredHypotheses), FrameObjects::Frames::kAny),
        evaluation.threshold);
    result.hota = SequenceHota(sequence);
  }
  return result;
}

SequenceResult CombineResults(std::span<const SequenceResult> sequences) {
  SequenceResult combined;
  if (!sequences.empty()) {
    combined.matching = sequences.front().matching;
    combined.metrics = sequences.front().metrics;
  }
  std::vector<HotaCounts> hota;
  hota.reserve(sequences.size());
  for (const SequenceResult& s : sequences) {
    combined.frames += s.frames;
    ClearCounts& c = combined.clear;
    c.gt += s.clear.gt;
    c.hypotheses += s.clear.hypotheses;
    c.tp += s.clear.tp;
    c.fn += s.clear.fn;
    c.fp += s.clear.fp;
    c.idsw += s.clear.idsw;
    c.frag += s.clear.frag;
    c.mt += s.clear.mt;
    c.pt += s.clear.pt;
    c.ml += s.clear.ml;
    c.similaritySum += s.clear.similaritySum;
    combined.identity.idtp += s.identity.idtp;
    combined.identity.idfn += s.identity.idfn;
    combined.identity.idfp += s.identity.idfp;
    hota.push_back(s.hota);
  }
  combined.hota = CombineHota(hota);
  return combined;
}

// Each ratio is formed the way the benchmark forms it, so that the last
// digits agree too.
std::optional<double> Mota(const ClearCounts& c) {
  return Ratio(static_cast<double>(c.tp - c.fp - c.idsw), static_cast<double>(c.tp + c.fn));
}
std::optional<double> Motp(const ClearCounts& c) {
  return Ratio(c.similaritySum, static_cast<double>(c.tp));
}
std::optional<double> Idp(const IdentityCounts& c) {
  return Ratio(static_cast<double>(c.idtp), static_cast<double>(c.idtp + c.idfp));
}
std::optional<double> Idr(const IdentityCounts& c) {
  return Ratio(static_cast<double>(c.idtp), static_cast<double>(c.idtp + c.idfn));
}
std::optional<double> Idf1(const IdentityCounts& c) {
  return Ratio(static_cast<double>(c.idtp), static_cast<double>(c.idtp) +
                                                0.5 * static_cast<double>(c.idfp) +
                                                0.5 * static_cast<double>(c.idfn));
}
