#pragma once
// Scoring a tracker's hypotheses against the true targets with the CLEAR MOT
// metrics (Bernardin and Stiefelhagen 2008) and the identity metrics
// (Ristani et al. 2016), for point targets: a truth object and a hypothesis
// correspond when they lie at most the threshold apart, in pixels.

#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "eval/ClearMatching.h"
#include "eval/FrameObjects.h"

struct EvaluationSettings {
  // Largest distance, in pixels, at which a pair may correspond.
  double threshold = 0.0;
  // The frames scored, first..last inclusive (objects at other frames take
  // no part). The defaults are the track file's frames; objects read at any
  // frame number are scored over the whole int range.
  int first = 0;
  int last = MAX_TRACK_FRAMES - 1;
  // Whether `frames` counts every frame of the range or only those in which
  // either side has an object.
  enum class FrameCount { kOccupied, kEvery } frameCount = FrameCount::kOccupied;
};

// One truth target present in at least one scored frame.
struct TargetResult {
  int id = 0;
  int present = 0;                // frames in which the target has an object
  int matches = 0;                // of those, frames in which it was matched
  std::optional<int> hypothesis;  // the id the identity assignment gives it
};

struct EvaluationTotals {
  int frames = 0;
  int gt = 0;          // truth objects
  int hypotheses = 0;  // hypotheses, the ignored ones included
  int matches = 0;
  int fp = 0;  // unmatched hypotheses that are not ignored
  int fn = 0;  // unmatched truth objects
  int idsw = 0;
  int frag = 0;              // a target matched, then missed, then matched again
  int ignored = 0;           // unmatched hypotheses the ignore test accepts
  double distanceSum = 0.0;  // over all matches
  long long idtp = 0;
  long long idfp = 0;
  long long idfn = 0;
  int mt = 0;  // targets matched in at least 80 % of their frames
  int pt = 0;
  int ml = 0;  // targets matched in at most 20 % of their frames
};

struct Evaluation {
  EvaluationTotals totals;
  std::vector<TargetResult> targets;  // in id order
};

// The ratios; nothing where the denominator is 0.
std::optional<double> Mota(const EvaluationTotals& totals);
std::optional<double> Motp(const EvaluationTotals& totals);
std::optional<double> Idp(const EvaluationTotals& totals);
std::optional<double> Idr(const EvaluationTotals& totals);
std::optional<double> Idf1(const EvaluationTotals& totals);

// Whether an unmatched hypothesis at frame is to be ignored rather than
// counted as a false positive (one near a target that is to be left out).
// Ignored hypotheses also take no part in the identity metrics.
using IgnoreTest = std::function<bool(const FrameObject& hypothesis, int frame)>;

// What the matching made of one scored frame, for those who show it: the
// frame's objects (each side sorted by id), the match, and for each
// hypothesis whether it was left unmatched and ignored.
struct FrameVerdict {
  int frame = 0;
  std::span<const FrameObject> truth;
  std::span<const FrameObject> hypotheses;
  const FrameMatch& match;
  std::span<const char> ignored;
};
using FrameObserver = std::function<void(const FrameVerdict&)>;

// Scores the frames of the settings in order; `observer`, when given, sees
// the verdict of every scored frame in which either side has an object, as
// it is counted.
Evaluation Evaluate(const FrameObjects& truth, const FrameObjects& hypotheses,
                    const EvaluationSettings& settings, const IgnoreTest& ignorable,
                    const FrameObserver& observer = {});
