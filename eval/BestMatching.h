#pragma once
// The best matching of one frame: truth objects paired with hypotheses, one
// to one, so that the total score of the pairs made is greatest. Only the
// pairs listed may be made; the frame's objects fall apart into groups that
// no listed pair joins, and each group is solved on its own, so a crowded
// frame costs what its largest group costs rather than its whole size.

#include <span>
#include <vector>

struct ScoredPair {
  int truth = 0;       // index of the truth object in its frame
  int hypothesis = 0;  // index of the hypothesis in its frame
  double score = 0.0;  // not negative
};

class BestMatching {
 public:
  // Pairs: each (truth, hypothesis) at most once, indices below the counts.
  // Fills pairOf[t], for each truth index t, with the index in `pairs` of
  // the pair made with it, or -1. The pairs made have the greatest total
  // score; a listed pair of score 0 may or may not be among them. On ties
  // the result depends only on the input, so a run is reproducible.
  void Solve(std::span<const ScoredPair> pairs, int truthCount, int hypothesisCount,
             std::vector<int>& pairOf);

 private:
  int Root(int node);
  void SolveGroup(std::span<const ScoredPair> pairs, std::span<const int> group,
                  std::vector<int>& pairOf);

  // Scratch kept between frames.
  std::vector<int> m_parent;   // union-find over truth, then hypothesis nodes
  std::vector<int> m_groupOf;  // pairs by group
  std::vector<int> m_order;    // pair indices sorted by group
  std::vector<int> m_rows;     // group's truth indices
  std::vector<int> m_cols;     // group's hypothesis indices
  std::vector<double> m_cost;  // group's cost matrix
  std::vector<int> m_pairAt;   // group's pair index per matrix cell, -1 where none
};
