#include "eval/BenchmarkClear.h"

#include <cstddef>

#include "eval/BestMatching.h"
#include "eval/IdentityMetrics.h"

namespace {

constexpr double kKeepBonus = 1000.0;

struct TruthState {
  long long present = 0;
  long long matched = 0;
  long long starts = 0;
  int lastMatch = -1;      // hypothesis id index last matched to, in any frame
  int previousMatch = -1;  // matched to in the previous frame with both sides
};

void CountCoverage(const std::vector<TruthState>& states, ClearCounts& counts) {
  for (const TruthState& s : states) {
    if (s.present == 0)
      continue;
    // matched / present > 0.8, and >= 0.2, in whole numbers.
    if (5 * s.matched > 4 * s.present)
      ++counts.mt;
    else if (5 * s.matched >= s.present)
      ++counts.pt;
    else
      ++counts.ml;
    if (s.starts > 1)
      counts.frag += s.starts - 1;
  }
}

}  // namespace

ClearCounts BenchmarkClear(const ScoredSequence& sequence, double threshold,
                           const ClearObserver& observer) {
  ClearCounts counts;
  std::vector<TruthState> states(sequence.TruthIds().size());
  // The truth indices whose previousMatch is set, to clear them cheaply.
  std::vector<int> tracked;
  std::vector<int> nowTracked;
  BestMatching matching;
  std::vector<ScoredPair> pairs;
  std::vector<double> similarities;  // of each entry of pairs
  std::vector<int> pairOf;
  // The frame's verdict, for the observer.
  std::vector<int> hypothesisOf;
  std::vector<int> switchedFrom;
  const auto tell = [&](std::size_t f) {
    if (observer)
      observer({f, hypothesisOf, switchedFrom});
  };
  for (std::size_t f = 0; f < sequence.FrameCount(); ++f) {
    const ScoredFrame frame = sequence.Frame(f);
    const auto truthCount = static_cast<long long>(frame.truth.size());
    const auto hypothesisCount = static_cast<long long>(frame.hypotheses.size());
    counts.gt += truthCount;
    counts.hypotheses += hypothesisCount;
    hypothesisOf.assign(frame.truth.size(), -1);
    switchedFrom.assign(frame.truth.size(), -1);
    if (truthCount == 0) {
      counts.fp += hypothesisCount;
      tell(f);
      continue;
    }
    if (hypothesisCount == 0) {
      counts.fn += truthCount;
      for (const int t : frame.truth)
        ++states[static_cast<std::size_t>(t)].present;
      tell(f);
      continue;
    }

    pairs.clear();
    similarities.clear();
    for (const SimilarPair& p : frame.pairs) {
      if (p.similarity < threshold - kSimilaritySlack)
        continue;
      const TruthState& s =
          states[static_cast<std::size_t>(frame.truth[static_cast<std::size_t>(p.truth)])];
      const bool kept = s.previousMatch == frame.hypotheses[static_cast<std::size_t>(p.hypothesis)];
      pairs.push_back({p.truth, p.hypothesis, (kept ? kKeepBonus : 0.0) + p.similarity});
      similarities.push_back(p.similarity);
    }
    matching.Solve(pairs, static_cast<int>(truthCount), static_cast<int>(hypothesisCount), pairOf);

    nowTracked.clear();
    long long matches = 0;
    // Summed per frame, then added, as the reference sums it.
    double frameSimilarity = 0.0;
    for (std::size_t i = 0; i < frame.truth.size(); ++i) {
      TruthState& s = states[static_cast<std::size_t>(frame.truth[i])];
      ++s.present;
      const int pair = pairOf[i];
      if (pair < 0 || pairs[static_cast<std::size_t>(pair)].score <= kSimilaritySlack)
        continue;
      const ScoredPair& p = pairs[static_cast<std::size_t>(pair)];
      const int hypothesis = frame.hypotheses[static_cast<std::size_t>(p.hypothesis)];
      hypothesisOf[i] = p.hypothesis;
      if (s.lastMatch >= 0 && s.lastMatch != hypothesis) {
        ++counts.idsw;
        switchedFrom[i] = s.lastMatch;
      }
      s.lastMatch = hypothesis;
      ++s.matched;
      ++matches;
      frameSimilarity += similarities[static_cast<std::size_t>(pair)];
      nowTracked.push_back(frame.truth[i]);
    }
    // Every truth id's track is decided by this frame: those matched now go
    // on (or start), all others end.
    for (const int t : nowTracked) {
      if (states[static_cast<std::size_t>(t)].previousMatch < 0)
        ++states[static_cast<std::size_t>(t)].starts;
    }
    for (const int t : tracked)
      states[static_cast<std::size_t>(t)].previousMatch = -1;
    for (const int t : nowTracked)
      states[static_cast<std::size_t>(t)].previousMatch =
          states[static_cast<std::size_t>(t)].lastMatch;
    tracked.swap(nowTracked);
    counts.similaritySum += frameSimilarity;
    counts.tp += matches;
    counts.fn += truthCount - matches;
    counts.fp += hypothesisCount - matches;
    tell(f);
  }
  CountCoverage(states, counts);
  return counts;
}

IdentityCounts BenchmarkIdentity(const ScoredSequence& sequence, double threshold) {
  IdentityCounter counter;
  long long gt = 0;
  long long hypotheses = 0;
  for (std::size_t f = 0; f < sequence.FrameCount(); ++f) {
    const ScoredFrame frame = sequence.Frame(f);
    gt += static_cast<long long>(frame.truth.size());
    hypotheses += static_cast<long long>(frame.hypotheses.size());
    for (const SimilarPair& p : frame.pairs) {
      if (p.similarity >= threshold)
        counter.AddFrame(frame.truth[static_cast<std::size_t>(p.truth)],
                         frame.hypotheses[static_cast<std::size_t>(p.hypothesis)]);
    }
  }
  const IdentityAssignment assignment = counter.Solve(static_cast<int>(sequence.TruthIds().size()));
  return {assignment.idtp, gt - assignment.idtp, hypotheses - assignment.idtp};
}
