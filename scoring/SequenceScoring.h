#pragma once
// Scoring one sequence of a tracker's output against its truth with the
// metric families asked for, and combining sequences into one result as a
// benchmark does (counts summed before any ratio is taken).
//
// Boxes are matched by IoU under the benchmark's conventions
// (eval/BenchmarkClear.h, eval/HotaMetrics.h). Points are matched by
// distance under the conventions of the track-file evaluation
// (eval/Evaluation.h), the benchmark defining none for points, and their
// HOTA uses the similarity max(0, 1 - distance / D).

#include <optional>
#include <span>

#include "eval/BenchmarkClear.h"
#include "eval/BoxObjects.h"
#include "eval/Evaluation.h"
#include "eval/FrameObjects.h"
#include "eval/HotaMetrics.h"

struct MetricFamilies {
  bool clear = true;
  bool identity = true;
  bool hota = true;
};

enum class MatchingKind { kBoxIou, kPointDistance };

struct SequenceSettings {
  // Boxes: the IoU a CLEAR or identity pair needs, 0 < iou <= 1.
  double iou = 0.5;
  // Points: the largest distance at which a pair corresponds, in pixels.
  double distance = 0.0;
  MetricFamilies metrics;
  // The frames the sequence has (a benchmark's sequence length); when not
  // given, the frames in which either side has an object.
  std::optional<long long> frames;
};

struct SequenceResult {
  MatchingKind matching = MatchingKind::kBoxIou;
  MetricFamilies metrics;
  long long frames = 0;
  ClearCounts clear;  // similaritySum: IoU for boxes, distance for points
  IdentityCounts identity;
  HotaCounts hota;
};

SequenceResult ScoreBoxes(const BoxFrames& truth, const BoxFrames& hypotheses,
                          const SequenceSettings& settings);
// Truth and hypotheses at any frame numbers.
SequenceResult ScorePoints(const FrameObjects& truth, const FrameObjects& hypotheses,
                           const SequenceSettings& settings);
// The track-file evaluation itself (its frames, its ignore test) with the
// families asked for: HOTA scores the frames the evaluation scores, without
// the hypotheses it ignores; `hypotheses` counts those it does not ignore.
SequenceResult ScorePointEvaluation(const FrameObjects& truth, const FrameObjects& hypotheses,
                                    const EvaluationSettings& evaluation,
                                    const IgnoreTest& ignorable, const MetricFamilies& metrics);

// The sequences as one: counts and frames summed, HOTA combined by
// CombineHota. The kind and families are those of the first sequence.
SequenceResult CombineResults(std::span<const SequenceResult> sequences);

// The ratios, fractions 0..1 (MOTA may be negative, MOTP of points is a mean
// distance in pixels); nothing where the denominator is 0.
std::optional<double> Mota(const ClearCounts& counts);
std::optional<double> Motp(const ClearCounts& counts);
std::optional<double> Idp(const IdentityCounts& counts);
std::optional<double> Idr(const IdentityCounts& counts);
std::optional<double> Idf1(const IdentityCounts& counts);
