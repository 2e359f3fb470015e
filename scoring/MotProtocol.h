#pragma once
// The MOTChallenge 2D box protocol: which truth boxes are scored and which
// hypotheses are left out before scoring, as the benchmark's evaluation
// decides it frame by frame.
//
//  1. The hypotheses of a frame are matched to all of its truth boxes,
//     whatever their class or confidence: one to one, pairs of IoU at least
//     0.5 (less kSimilaritySlack) only, the total IoU of the pairs greatest.
//     A hypothesis matched to a distractor (person on vehicle 2, static
//     person 7, distractor 8, reflection 12) is removed.
//  2. Only pedestrian boxes (class 1) are scored, and of those only the
//     ones whose confidence, cut to a whole number toward zero, is not 0
//     (the benchmark reads the field as a whole number).
//
// A truth class outside 1 to 13 (the benchmark's classes) is refused.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "eval/BoxObjects.h"

struct MotTruthRow {
  int frame = 0;
  BoxObject box;
  double conf = 1.0;
  int classId = 1;
  std::size_t line = 0;  // where it was read, for messages; 0 when not read from a file
};

inline constexpr int kPedestrianClass = 1;
inline constexpr int kDistractorClasses[] = {2, 7, 8, 12};
inline constexpr int kFirstTruthClass = 1;
inline constexpr int kLastTruthClass = 13;

struct ProtocolResult {
  std::vector<BoxRow> truth;       // the truth rows scored
  std::vector<BoxRow> hypotheses;  // the hypotheses kept
  long long removedHypotheses = 0;
  long long unscoredTruth = 0;  // rows of other classes or of confidence 0
};

struct ProtocolProblem {
  std::size_t line = 0;
  std::string what;
};

// Applies the protocol. Returns the first truth row (in input order) whose
// class is outside the benchmark's; otherwise nothing, with `result` filled.
std::optional<ProtocolProblem> ApplyMotProtocol(std::span<const MotTruthRow> truth,
                                                std::span<const BoxRow> hypotheses,
                                                ProtocolResult& result);

// Every truth row as it stands (no protocol).
std::vector<BoxRow> AllTruthBoxes(std::span<const MotTruthRow> truth);
