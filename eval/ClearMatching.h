#pragma once
// The per-frame matching of the CLEAR MOT metrics (Bernardin and
// Stiefelhagen 2008), done frame after frame in frame order. A truth object
// and a hypothesis may be matched when they lie at most the threshold apart.
// In each frame:
//  1. every truth object keeps the hypothesis id it was last matched to,
//     when that hypothesis is present, not yet taken and within reach
//     (truth objects in id order);
//  2. the truth objects and hypotheses left are matched so that as many
//     pairs as possible are made and, among those matchings, the total
//     distance is least.
// A truth object matched to another hypothesis id than the one it was last
// matched to (in any earlier frame) is an identity switch.

#include <optional>
#include <span>
#include <vector>

#include "eval/FrameObjects.h"

struct FrameMatch {
  // For each truth object of the frame: the index of its hypothesis in the
  // frame, or -1.
  std::vector<int> hypothesisOf;
  // For each truth object: the distance to its hypothesis (0 when unmatched).
  std::vector<double> distance;
  // For each hypothesis of the frame: whether it was matched.
  std::vector<char> matched;
  // Truth objects matched to another id than their last one.
  int switches = 0;
};

double Distance(const FrameObject& a, const FrameObject& b);

class ClearMatcher {
 public:
  // truthIds: every id the truth objects may carry, sorted, each once.
  ClearMatcher(std::vector<int> truthIds, double threshold);

  // Matches one frame's objects (each span sorted by id) into match.
  void MatchFrame(std::span<const FrameObject> truth, std::span<const FrameObject> hypotheses,
                  FrameMatch& match);

  // The place of id in truthIds, or -1.
  int TruthIndex(int id) const;

 private:
  void MatchTheRest(std::span<const FrameObject> truth, std::span<const FrameObject> hypotheses,
                    FrameMatch& match);

  std::vector<int> m_truthIds;
  double m_threshold = 0.0;
  // The hypothesis id each truth id was last matched to.
  std::vector<std::optional<int>> m_lastMatch;
  // Scratch for the assignment, kept between frames.
  std::vector<int> m_rows;
  std::vector<int> m_cols;
  std::vector<double> m_cost;
};
