#include "eval/HotaMetrics.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "eval/BestMatching.h"

namespace {

constexpr double kLocFloor = 1e-10;

std::uint64_t Key(int truth, int hypothesis) {
  return (std::uint64_t{static_cast<std::uint32_t>(truth)} << 32) |
         std::uint64_t{static_cast<std::uint32_t>(hypothesis)};
}
int TruthOf(std::uint64_t key) {
  return static_cast<int>(key >> 32);
}
int HypothesisOf(std::uint64_t key) {
  return static_cast<int>(static_cast<std::uint32_t>(key));
}

double AtLeastOne(double value) {
  return std::max(1.0, value);
}

// A value per id pair that any frame gives a similarity, looked up by key.
struct PairTable {
  std::vector<std::uint64_t> keys;
  std::vector<double> values;

  // From (key, value) entries in the order they were met: the values of one
  // key summed in that order.
  static PairTable Summed(std::vector<std::pair<std::uint64_t, double>> entries) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    PairTable table;
    for (const auto& [key, value] : entries) {
      if (table.keys.empty() || table.keys.back() != key) {
        table.keys.push_back(key);
        table.values.push_back(0.0);
      }
      table.values.back() += value;
    }
    return table;
  }

  double Find(std::uint64_t key) const {
    const auto it = std::lower_bound(keys.begin(), keys.end(), key);
    return it != keys.end() && *it == key ? values[static_cast<std::size_t>(it - keys.begin())]
                                          : 0.0;
  }
};

// How often each id appears, over all frames.
struct IdCounts {
  std::vector<double> truth;
  std::vector<double> hypotheses;
};

IdCounts CountIds(const ScoredSequence& sequence) {
  IdCounts counts{std::vector<double>(sequence.TruthIds().size(), 0.0),
                  std::vector<double>(sequence.HypothesisIds().size(), 0.0)};
  for (std::size_t f = 0; f < sequence.FrameCount(); ++f) {
    const ScoredFrame frame = sequence.Frame(f);
    for (const int t : frame.truth)
      counts.truth[static_cast<std::size_t>(t)] += 1.0;
    for (const int h : frame.hypotheses)
      counts.hypotheses[static_cast<std::size_t>(h)] += 1.0;
  }
  return counts;
}

// Each id pair's global alignment score.
PairTable Alignment(const ScoredSequence& sequence, const IdCounts& ids) {
  std::vector<std::pair<std::uint64_t, double>> shares;
  std::vector<double> rowSum;
  std::vector<double> columnSum;
  for (std::size_t f = 0; f < sequence.FrameCount(); ++f) {
    const ScoredFrame frame = sequence.Frame(f);
    rowSum.assign(frame.truth.size(), 0.0);
    columnSum.assign(frame.hypotheses.size(), 0.0);
    for (const SimilarPair& p : frame.pairs) {
      rowSum[static_cast<std::size_t>(p.truth)] += p.similarity;
      columnSum[static_cast<std::size_t>(p.hypothesis)] += p.similarity;
    }
    for (const SimilarPair& p : frame.pairs) {
      const double denominator = columnSum[static_cast<std::size_t>(p.hypothesis)] +
                                 rowSum[static_cast<std::size_t>(p.truth)] - p.similarity;
      if (denominator > kSimilaritySlack)
        shares.emplace_back(Key(frame.truth[static_cast<std::size_t>(p.truth)],
                                frame.hypotheses[static_cast<std::size_t>(p.hypothesis)]),
                            p.similarity / denominator);
    }
  }
  PairTable table = PairTable::Summed(std::move(shares));
  for (std::size_t i = 0; i < table.keys.size(); ++i) {
    const double both = ids.truth[static_cast<std::size_t>(TruthOf(table.keys[i]))] +
                        ids.hypotheses[static_cast<std::size_t>(HypothesisOf(table.keys[i]))];
    table.values[i] = table.values[i] / (both - table.values[i]);
  }
  return table;
}

// The highest alpha index the similarity reaches, or -1.
int HighestAlpha(double similarity) {
  int reached = -1;
  for (int a = 0; a < kHotaAlphaCount; ++a) {
    if (similarity >= HotaAlpha(a) - kSimilaritySlack)
      reached = a;
  }
  return reached;
}

}  // namespace

double HotaAlpha(int index) {
  return 0.05 + static_cast<double>(index) * 0.05;
}

HotaCounts SequenceHota(const ScoredSequence& sequence) {
  const IdCounts ids = CountIds(sequence);
  const PairTable alignment = Alignment(sequence, ids);

  HotaCounts counts;
  std::array<double, kHotaAlphaCount> locSum{};
  // One entry per match: the id pair and the highest alpha it reaches.
  std::vector<std::pair<std::uint64_t, int>> matches;
  BestMatching matching;
  std::vector<ScoredPair> pairs;
  std::vector<int> pairOf;
  for (std::size_t f = 0; f < sequence.FrameCount(); ++f) {
    const ScoredFrame frame = sequence.Frame(f);
    const auto truthCount = static_cast<long long>(frame.truth.size());
    const auto hypothesisCount = static_cast<long long>(frame.hypotheses.size());
    if (truthCount == 0 || hypothesisCount == 0) {
      for (HotaAlphaCounts& at : counts.at) {
        at.fn += truthCount;
        at.fp += hypothesisCount;
      }
      continue;
    }
    pairs.clear();
    for (const SimilarPair& p : frame.pairs) {
      const std::uint64_t key = Key(frame.truth[static_cast<std::size_t>(p.truth)],
                                    frame.hypotheses[static_cast<std::size_t>(p.hypothesis)]);
      pairs.push_back({p.truth, p.hypothesis, alignment.Find(key) * p.similarity});
    }
    matching.Solve(pairs, static_cast<int>(truthCount), static_cast<int>(hypothesisCount), pairOf);
    std::array<long long, kHotaAlphaCount> matched{};
    std::array<double, kHotaAlphaCount> frameLoc{};
    for (std::size_t i = 0; i < pairOf.size(); ++i) {
      if (pairOf[i] < 0)
        continue;
      const SimilarPair& p = frame.pairs[static_cast<std::size_t>(pairOf[i])];
      const int highest = HighestAlpha(p.similarity);
      if (highest < 0)
        continue;
      for (int a = 0; a <= highest; ++a) {
        ++matched[static_cast<std::size_t>(a)];
        frameLoc[static_cast<std::size_t>(a)] += p.similarity;
      }
      matches.emplace_back(Key(frame.truth[static_cast<std::size_t>(p.truth)],
                               frame.hypotheses[static_cast<std::size_t>(p.hypothesis)]),
                           highest);
    }
    for (std::size_t a = 0; a < counts.at.size(); ++a) {
      counts.at[a].tp += matched[a];
      counts.at[a].fn += truthCount - matched[a];
      counts.at[a].fp += hypothesisCount - matched[a];
      locSum[a] += frameLoc[a];
    }
  }

  // Per id pair and alpha, the matches; summed into the association scores.
  std::array<double, kHotaAlphaCount> assA{};
  std::array<double, kHotaAlphaCount> assRe{};
  std::array<double, kHotaAlphaCount> assPr{};
  std::sort(matches.begin(), matches.end());
  for (std::size_t i = 0; i < matches.size();) {
    const std::uint64_t key = matches[i].first;
    std::array<long long, kHotaAlphaCount> reaching{};
    for (; i < matches.size() && matches[i].first == key; ++i)
      ++reaching[static_cast<std::size_t>(matches[i].second)];
    const double truthFrames = ids.truth[static_cast<std::size_t>(TruthOf(key))];
    const double hypothesisFrames = ids.hypotheses[static_cast<std::size_t>(HypothesisOf(key))];
    long long atOrAbove = 0;
    for (int a = kHotaAlphaCount - 1; a >= 0; --a) {
      const auto ua = static_cast<std::size_t>(a);
      atOrAbove += reaching[ua];
      if (atOrAbove == 0)
        continue;
      const auto m = static_cast<double>(atOrAbove);
      assA[ua] += m * (m / AtLeastOne(truthFrames + hypothesisFrames - m));
      assRe[ua] += m * (m / AtLeastOne(truthFrames));
      assPr[ua] += m * (m / AtLeastOne(hypothesisFrames));
    }
  }
  for (std::size_t a = 0; a < counts.at.size(); ++a) {
    HotaAlphaCounts& at = counts.at[a];
    const auto tp = static_cast<double>(at.tp);
    at.assA = assA[a] / AtLeastOne(tp);
    at.assRe = assRe[a] / AtLeastOne(tp);
    at.assPr = assPr[a] / AtLeastOne(tp);
    at.locA = std::max(kLocFloor, locSum[a]) / std::max(kLocFloor, tp);
  }
  return counts;
}

HotaCounts CombineHota(std::span<const HotaCounts> sequences) {
  HotaCounts combined;
  for (std::size_t a = 0; a < combined.at.size(); ++a) {
    HotaAlphaCounts& c = combined.at[a];
    double assA = 0.0;
    double assRe = 0.0;
    double assPr = 0.0;
    double loc = 0.0;
    for (const HotaCounts& s : sequences) {
      const HotaAlphaCounts& at = s.at[a];
      c.tp += at.tp;
      c.fn += at.fn;
      c.fp += at.fp;
      const auto tp = static_cast<double>(at.tp);
      assA += at.assA * tp;
      assRe += at.assRe * tp;
      assPr += at.assPr * tp;
      loc += at.locA * tp;
    }
    const auto tp = static_cast<double>(c.tp);
    c.assA = assA / AtLeastOne(tp);
    c.assRe = assRe / AtLeastOne(tp);
    c.assPr = assPr / AtLeastOne(tp);
    c.locA = std::max(kLocFloor, loc) / std::max(kLocFloor, tp);
  }
  return combined;
}

HotaScores HotaAt(const HotaCounts& counts, int alphaIndex) {
  const HotaAlphaCounts& at =
      counts.at[static_cast<std::size_t>(std::clamp(alphaIndex, 0, kHotaAlphaCount - 1))];
  const auto tp = static_cast<double>(at.tp);
  const auto fn = static_cast<double>(at.fn);
  const auto fp = static_cast<double>(at.fp);
  HotaScores s;
  s.detRe = tp / AtLeastOne(tp + fn);
  s.detPr = tp / AtLeastOne(tp + fp);
  s.detA = tp / AtLeastOne(tp + fn + fp);
  s.assA = at.assA;
  s.assRe = at.assRe;
  s.assPr = at.assPr;
  s.locA = at.locA;
  s.hota = std::sqrt(s.detA * s.assA);
  return s;
}

std::optional<HotaScores> HotaSummary(const HotaCounts& counts) {
  const bool empty = std::all_of(counts.at.begin(), counts.at.end(),
                                 [](const HotaAlphaCounts& a) { return a.tp + a.fn + a.fp == 0; });
  if (empty)
    return std::nullopt;
  HotaScores mean;
  for (int a = 0; a < kHotaAlphaCount; ++a) {
    const HotaScores at = HotaAt(counts, a);
    mean.hota += at.hota;
    mean.detA += at.detA;
    mean.assA += at.assA;
    mean.detRe += at.detRe;
    mean.detPr += at.detPr;
    mean.assRe += at.assRe;
    mean.assPr += at.assPr;
    mean.locA += at.locA;
  }
  for (double* value : {&mean.hota, &mean.detA, &mean.assA, &mean.detRe, &mean.detPr, &mean.assRe,
                        &mean.assPr, &mean.locA})
    *value /= kHotaAlphaCount;
  const HotaScores first = HotaAt(counts, 0);
  mean.hota0 = first.hota;
  mean.locA0 = first.locA;
  return mean;
}
