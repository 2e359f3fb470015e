#pragma once
// The identity assignment of Ristani et al. 2016: one global one-to-one
// pairing of truth targets with hypothesis ids that maximises the number of
// frames in which the paired objects lie within reach of each other (IDTP).

#include <cstdint>
#include <optional>
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

  // Sorts what was added, so it is not const.
  IdentityAssignment Solve(int truthCount);

 private:
  // One entry per frame and pair within reach: the truth index in the high
  // half, the id in the low half. Counted by sorting once at the end, which
  // takes less memory and time than a count per pair kept up to date.
  std::vector<std::uint64_t> m_pairs;
};
