#pragma once
// What the evaluation decided at each frame of a sequence, in the form a
// review paints it: the objects scored, which truth objects were missed,
// which hypotheses were false positives, which matches were identity
// switches, the frame's counts and the pairs its identity metrics count.
//
// The verdicts come from the evaluation itself, frame by frame as it
// counts them (eval/Evaluation.h's frame observer), never from a matching
// of the review's own, so the video shows exactly what the numbers count.
// Today that is the point evaluation: box centres matched by distance, on
// frames 0 to MAX_TRACK_FRAMES - 1, every row scored. Box IoU matching and
// the MOTChallenge protocol's row selection enter here, and only here, when
// the field-scale evaluation gives its frame verdicts.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "mot/MotRows.h"
#include "review/Marks.h"
#include "review/RunningScores.h"

namespace review {

struct FrameVerdicts {
  int frame = 0;
  // The frame's objects as the evaluation scored them, by id; boxes in
  // source pixels as the rows give them.
  std::vector<ReviewBox> truth;
  std::vector<ReviewBox> hypotheses;
  std::vector<int> misses;          // indices into truth
  std::vector<int> falsePositives;  // indices into hypotheses
  std::vector<IdentitySwitch> switches;
  FrameCounts counts;
  std::vector<IdPair> withinReach;

  bool HasError() const { return !misses.empty() || !falsePositives.empty() || !switches.empty(); }
};

struct SequenceVerdicts {
  // Every frame in which either side has an object, in frame order.
  std::vector<FrameVerdicts> frames;
  // The evaluation's totals for the whole sequence.
  long long truthObjects = 0;
  long long misses = 0;
  long long falsePositives = 0;
  long long switches = 0;
  std::optional<double> mota;
  std::optional<double> idf1;

  // The verdicts of `frame`, or null when neither side has an object there.
  const FrameVerdicts* Find(int frame) const;
};

struct VerdictSettings {
  double threshold = 0.0;  // the largest distance of a match between box centres, pixels
};

// The frames the point evaluation scores: 0 to this, inclusive.
int LastScoredFrame();

// A row the evaluation cannot take, by its line in its file.
struct VerdictProblem {
  bool inHypotheses = false;  // which side's file
  int line = 0;
  std::string what;
};

// Scores the hypotheses against the truth and keeps every frame's verdict.
// Returns why it cannot (a row on a frame the evaluation does not score, an
// id twice in one frame), or nothing.
std::optional<VerdictProblem> EvaluateForReview(std::span<const cli::MotRow> truth,
                                                std::span<const cli::MotRow> hypotheses,
                                                const VerdictSettings& settings,
                                                SequenceVerdicts& verdicts);

}  // namespace review
