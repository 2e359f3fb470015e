#pragma once
// What the evaluation decided at each frame of a sequence, in the form a
// review paints it: the objects scored, which truth objects were missed,
// which hypotheses were false positives, which matches were identity
// switches, the frame's counts and the pairs its identity metrics count.
//
// The sequence is scored exactly as evaluate scores MOTChallenge truth: the
// rows chosen by the protocol (or all of them), boxes matched by IoU under
// the benchmark's conventions or their centres by distance under the track
// file's. The verdicts come from that evaluation's own frame observers, and
// the totals from the very scoring evaluate prints; they are checked to
// agree, so the video shows exactly what the numbers count.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "review/Marks.h"
#include "review/RunningScores.h"
#include "scoring/MotScoring.h"

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
  // Every frame in which either side has an object scored, in frame order.
  std::vector<FrameVerdicts> frames;
  // The evaluation's totals for the whole sequence.
  long long truthObjects = 0;
  long long misses = 0;
  long long falsePositives = 0;
  long long switches = 0;
  std::optional<double> mota;
  std::optional<double> idf1;
  // What the protocol left out.
  long long removedHypotheses = 0;
  long long unscoredTruth = 0;

  // The verdicts of `frame`, or null when neither side has an object there.
  const FrameVerdicts* Find(int frame) const;
};

// Why a sequence cannot be reviewed: a truth row the protocol refuses (its
// line), or verdicts that would not show what the evaluation counts.
struct VerdictProblem {
  std::size_t truthLine = 0;  // 0 when no row is to blame
  std::string what;
};

// Scores the hypotheses against the truth as the settings say (their metric
// families are not used: CLEAR and identity are always scored) and keeps
// every frame's verdict. Returns why it cannot, or nothing.
std::optional<VerdictProblem> EvaluateForReview(std::span<const MotTruthRow> truth,
                                                std::span<const BoxRow> hypotheses,
                                                const MotScoringSettings& settings,
                                                SequenceVerdicts& verdicts);

// Reads the truth (MOTChallenge ground truth) and the hypotheses
// (MOTChallenge rows) from their files and evaluates them as
// EvaluateForReview does. Returns what is wrong, naming the file
// ("FILE:LINE: why" for a bad row), or nothing.
std::optional<std::string> EvaluateFilesForReview(const std::string& truthFile,
                                                  const std::string& hypothesisFile,
                                                  const MotScoringSettings& settings,
                                                  SequenceVerdicts& verdicts);

}  // namespace review
