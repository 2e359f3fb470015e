#pragma once
// The identity assignment of Ristani et al. 2016: one global one-to-one
// pairing of truth targets with hypothesis ids that maximises the number of
// frames in which the paired objects lie within reach of each other (IDTP).

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

struct IdentityAssignment {
  long long idtp = 0;
  // For each truth index: the hypothesis id paired with it, or nothing when
  // the best pairing gives it no frame.
  std::vector<std::optional<int>> hypothesisOf;
};

class IdentityCounter {
 public:
  // One frame in which truth target truthIndex (0 ..) and hypothesis id lie
  // within reach.
  void AddFrame(int truthIndex, int hypothesisId);

  IdentityAssignment Solve(int truthCount) const;

 private:
  // Frames within reach, keyed by truth index (high half) and id (low half).
  std::unordered_map<std::uint64_t, int> m_frames;
};
