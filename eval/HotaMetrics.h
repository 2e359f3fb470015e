#pragma once
// The HOTA metrics (Luiten et al., IJCV 2021) on a scored sequence, computed
// as the benchmark's evaluation computes them, over the localisation
// thresholds alpha = 0.05, 0.10, ... 0.95.
//
// For a sequence: each pair's global alignment is the sum, over frames, of
// its similarity shared out among the frame's competing pairs
// (s / (row sum + column sum - s)), divided by the frames of either id less
// that sum. In each frame with objects on both sides the pairs are matched
// one to one for the greatest total of alignment x similarity; at each
// alpha the matched pairs of similarity at least alpha (less
// kSimilaritySlack) are true positives, the others misses and false
// positives. Per alpha:
//   DetRe = TP / (TP + FN), DetPr = TP / (TP + FP), DetA = TP / (TP + FN + FP)
//   AssA  = sum over matches c of A(c), A = TPA / (TPA + FNA + FPA) of c's ids
//           (AssRe with TPA / (TPA + FNA), AssPr with TPA / (TPA + FPA)),
//           divided by TP
//   LocA  = mean similarity of the matches
//   HOTA  = sqrt(DetA x AssA)
// Denominators below 1 count as 1 (LocA's below 1e-10 as 1e-10, so an
// alpha without matches has LocA 1), as in the reference. The reported value
// of each is the mean over the alphas; HOTA(0) and LocA(0) are the values at
// the first alpha, 0.05.

#include <array>
#include <optional>
#include <span>

#include "eval/ScoredSequence.h"

inline constexpr int kHotaAlphaCount = 19;

// The alpha of index 0 .. kHotaAlphaCount - 1, computed as the reference
// computes its range, so that a similarity at an alpha falls the same way.
double HotaAlpha(int index);

// What a sequence (or a combination of sequences) gives at one alpha: the
// counts, and the association and localisation scores as the reference keeps
// them for combining (each a ratio over TP).
struct HotaAlphaCounts {
  long long tp = 0;
  long long fn = 0;
  long long fp = 0;
  double assA = 0.0;
  double assRe = 0.0;
  double assPr = 0.0;
  double locA = 1.0;
};

struct HotaCounts {
  std::array<HotaAlphaCounts, kHotaAlphaCount> at{};
};

HotaCounts SequenceHota(const ScoredSequence& sequence);

// Sequences combined as the benchmark combines them: counts summed, the
// association scores and LocA averaged weighted by each sequence's TP.
HotaCounts CombineHota(std::span<const HotaCounts> sequences);

struct HotaScores {
  double hota = 0.0;
  double detA = 0.0;
  double assA = 0.0;
  double detRe = 0.0;
  double detPr = 0.0;
  double assRe = 0.0;
  double assPr = 0.0;
  double locA = 0.0;
  double hota0 = 0.0;  // HOTA at alpha 0.05
  double locA0 = 0.0;  // LocA at alpha 0.05
};

// The scores at one alpha (hota0 and locA0 left 0).
HotaScores HotaAt(const HotaCounts& counts, int alphaIndex);
// The reported scores: means over the alphas. Nothing when there is nothing
// to score (no truth object and no hypothesis).
std::optional<HotaScores> HotaSummary(const HotaCounts& counts);
