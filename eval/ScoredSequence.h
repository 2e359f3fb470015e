#pragma once
// A sequence made ready for scoring: for each frame in which either side has
// an object, the truth objects and hypotheses as indices of their ids (each
// side's ids numbered 0.. in id order) and the similarity of every pair
// that has any (only pairs above 0 are kept, which is all any metric reads).
// Box sequences are scored by box IoU, point sequences by
// max(0, 1 - distance / reach).

#include <cstddef>
#include <span>
#include <vector>

#include "eval/BoxObjects.h"
#include "eval/FrameObjects.h"

struct SimilarPair {
  int truth = 0;       // index in the frame's truth objects
  int hypothesis = 0;  // index in the frame's hypotheses
  double similarity = 0.0;
};

struct ScoredFrame {
  int frame = 0;
  std::span<const int> truth;          // id index of each truth object, increasing
  std::span<const int> hypotheses;     // id index of each hypothesis, increasing
  std::span<const SimilarPair> pairs;  // by truth, then hypothesis
};

class ScoredSequence {
 public:
  static ScoredSequence OfBoxes(const BoxFrames& truth, const BoxFrames& hypotheses);
  // reach: the distance at which a pair's similarity falls to 0; with reach
  // 0 only pairs at the same place have similarity (1).
  static ScoredSequence OfPoints(const FrameObjects& truth, const FrameObjects& hypotheses,
                                 double reach);

  std::size_t FrameCount() const { return m_frames.size(); }
  ScoredFrame Frame(std::size_t index) const;

  // The ids, by index.
  std::span<const int> TruthIds() const { return m_truthIds; }
  std::span<const int> HypothesisIds() const { return m_hypothesisIds; }
  std::size_t TruthObjectCount() const { return m_truth.size(); }
  std::size_t HypothesisCount() const { return m_hypotheses.size(); }

  // Used by the builders.
  struct Builder;

 private:
  std::vector<int> m_frames;
  std::vector<int> m_truthIds;
  std::vector<int> m_hypothesisIds;
  std::vector<int> m_truth;
  std::vector<int> m_hypotheses;
  std::vector<SimilarPair> m_pairs;
  // Frame i's objects and pairs start at these, and end where frame i + 1's
  // start (one entry more than frames).
  std::vector<std::size_t> m_truthStart{0};
  std::vector<std::size_t> m_hypothesisStart{0};
  std::vector<std::size_t> m_pairStart{0};
};

// The similarity of two points, max(0, 1 - distance / reach).
double PointSimilarity(const FrameObject& a, const FrameObject& b, double reach);
