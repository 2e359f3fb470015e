#include "eval/SequenceScoring.h"

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
  SequenceResult result;
  result.matching = MatchingKind::kPointDistance;
  result.metrics = settings.metrics;
  if (settings.metrics.clear || settings.metrics.identity) {
    EvaluationSettings evaluation;
    evaluation.threshold = settings.distance;
    evaluation.first = INT_MIN;
    evaluation.last = INT_MAX;
    const EvaluationTotals t = Evaluate(truth, hypotheses, evaluation, {}).totals;
    result.frames = t.frames;
    result.clear.gt = t.gt;
    result.clear.hypotheses = t.hypotheses;
    if (settings.metrics.clear)
      result.clear = {t.gt,   t.hypotheses, t.matches, t.fn, t.fp,         t.idsw,
                      t.frag, t.mt,         t.pt,      t.ml, t.distanceSum};
    if (settings.metrics.identity)
      result.identity = {t.idtp, t.idfn, t.idfp};
  }
  if (settings.metrics.hota) {
    const ScoredSequence sequence = ScoredSequence::OfPoints(truth, hypotheses, settings.distance);
    result.frames = static_cast<long long>(sequence.FrameCount());
    result.clear.gt = static_cast<long long>(sequence.TruthObjectCount());
    result.clear.hypotheses = static_cast<long long>(sequence.HypothesisCount());
    result.hota = SequenceHota(sequence);
  }
  if (settings.frames)
    result.frames = *settings.frames;
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
