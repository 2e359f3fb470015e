#pragma once
// MOTA and IDF1 of a sequence's frames up to the one being shown: after
// each frame, the scores the evaluation would give had the sequence ended
// there. MOTA follows from the counts; IDF1 needs the best one-to-one
// pairing of truth and hypothesis ids over those frames, which is solved
// again after each frame, but only for the groups of ids (connected by
// pairs within reach) that the frame touched.

#include <cstdint>
#include <optional>
#include <span>
#include <unordered_map>
#include <utility>
#include <vector>

namespace review {

// One scored frame's counts, as the evaluation counts them.
struct FrameCounts {
  int truth = 0;       // truth objects scored
  int hypotheses = 0;  // hypotheses the identity metrics count
  int misses = 0;
  int falsePositives = 0;
  int switches = 0;
};

// A truth id and a hypothesis id that lie within reach of each other in a
// frame (the pairs the identity metrics count).
using IdPair = std::pair<int, int>;

class RunningScores {
 public:
  // Adds the next frame; each pair at most once per frame.
  void AddFrame(const FrameCounts& counts, std::span<const IdPair> withinReach);

  std::optional<double> Mota() const;
  std::optional<double> Idf1() const;
  // Frames in which the best pairing's ids lie within reach, so far.
  long long Idtp() const { return m_idtp; }

 private:
  int Node(std::unordered_map<int, int>& ids, int id);
  int Root(int node);
  // The best pairing's frames within the group whose root is `root`.
  long long Solve(int root);

  long long m_truth = 0;
  long long m_hypotheses = 0;
  long long m_errors = 0;
  long long m_idtp = 0;
  std::unordered_map<int, int> m_truthNodes;
  std::unordered_map<int, int> m_hypothesisNodes;
  std::vector<int> m_parent;
  // For each group root: its pairs (truth node, hypothesis node) and the
  // best pairing's frames as last solved.
  std::vector<std::vector<std::pair<int, int>>> m_pairs;
  std::vector<long long> m_best;
  std::unordered_map<std::uint64_t, long long> m_frames;  // frames within reach, by pair
  std::vector<int> m_dirty;
  std::vector<double> m_cost;  // scratch for the solver
};

}  // namespace review
