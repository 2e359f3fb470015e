// HOTA on sequences worked out by hand, including pairs that count at some
// localisation thresholds and not at others, the combination of sequences,
// and random sequences against a direct implementation.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "EvalTestSupport.h"
#include "eval/HotaMetrics.h"
#include "eval/ScoredSequence.h"

using namespace eval_test;

namespace {

HotaCounts HotaOfBoxes(const std::vector<BoxText>& truth, const std::vector<BoxText>& hyps) {
  return SequenceHota(ScoredSequence::OfBoxes(Boxes(truth), Boxes(hyps)));
}

// The counts at every alpha index from first to last.
void ExpectAlphas(const HotaCounts& counts, int first, int last, long long tp, long long fn,
                  long long fp, double assA, double assRe, double assPr, double locA) {
  for (int a = first; a <= last; ++a) {
    SCOPED_TRACE("alpha index " + std::to_string(a));
    const HotaAlphaCounts& at = counts.at[static_cast<std::size_t>(a)];
    EXPECT_EQ(at.tp, tp);
    EXPECT_EQ(at.fn, fn);
    EXPECT_EQ(at.fp, fp);
    EXPECT_NEAR(at.assA, assA, 1e-12);
    EXPECT_NEAR(at.assRe, assRe, 1e-12);
    EXPECT_NEAR(at.assPr, assPr, 1e-12);
    EXPECT_NEAR(at.locA, locA, 1e-12);
  }
}

TEST(Hota, AlphasAreTheReferenceRange) {
  EXPECT_EQ(HotaAlpha(0), 0.05);
  EXPECT_EQ(HotaAlpha(9), 0.5);
  EXPECT_EQ(HotaAlpha(18), 0.05 + 18 * 0.05);
  EXPECT_GT(HotaAlpha(11), 0.6);  // 0.6000000000000001, as the reference has it
}

// One target, one hypothesis id, IoU 2/3 (5 x 1 boxes 1 apart) in two
// frames: a match for alpha up to 0.65 (13 alphas), none above (6).
TEST(Hota, PairCountsUpToItsOverlap) {
  const HotaCounts h = HotaOfBoxes({{1, 1, 0, 0, 5, 1}, {2, 1, 0, 0, 5, 1}},
                                   {{1, 7, 1, 0, 5, 1}, {2, 7, 1, 0, 5, 1}});
  ExpectAlphas(h, 0, 12, 2, 0, 0, 1, 1, 1, 2.0 / 3);
  // No match: LocA is 1, as the reference's floors make it.
  ExpectAlphas(h, 13, kHotaAlphaCount - 1, 0, 2, 2, 0, 0, 0, 1);
  const auto s = HotaSummary(h);
  ASSERT_TRUE(s);
  EXPECT_NEAR(s->hota, 13.0 / 19, 1e-12);
  EXPECT_NEAR(s->detA, 13.0 / 19, 1e-12);
  EXPECT_NEAR(s->detRe, 13.0 / 19, 1e-12);
  EXPECT_NEAR(s->detPr, 13.0 / 19, 1e-12);
  EXPECT_NEAR(s->assA, 13.0 / 19, 1e-12);
  EXPECT_NEAR(s->locA, (13 * 2.0 / 3 + 6) / 19, 1e-12);
  EXPECT_NEAR(s->hota0, 1.0, 1e-12);
  EXPECT_NEAR(s->locA0, 2.0 / 3, 1e-12);
}

// Target 1 in frames 1..4, covered exactly by hypothesis 10 in frames 1-2
// and 11 in frames 3-4; hypothesis 12 is a stray in frame 1.
HotaCounts SplitTrack() {
  return HotaOfBoxes(
      {{1, 1, 0, 0, 4, 4}, {2, 1, 0, 0, 4, 4}, {3, 1, 0, 0, 4, 4}, {4, 1, 0, 0, 4, 4}},
      {{1, 10, 0, 0, 4, 4},
       {2, 10, 0, 0, 4, 4},
       {3, 11, 0, 0, 4, 4},
       {4, 11, 0, 0, 4, 4},
       {1, 12, 50, 50, 4, 4}});
}

TEST(Hota, AssociationRecallAndPrecisionOfASplitTrack) {
  const HotaCounts h = SplitTrack();
  // Each id pair: 2 matches of 4 truth frames and 2 hypothesis frames.
  // AssA = (2 x 2/4 + 2 x 2/4) / 4, AssRe = (2 x 2/4 + 2 x 2/4) / 4,
  // AssPr = (2 x 2/2 + 2 x 2/2) / 4.
  ExpectAlphas(h, 0, kHotaAlphaCount - 1, 4, 0, 1, 0.5, 0.5, 1.0, 1.0);
  const HotaScores at = HotaAt(h, 3);
  EXPECT_NEAR(at.detRe, 1.0, 1e-15);
  EXPECT_NEAR(at.detPr, 0.8, 1e-15);
  EXPECT_NEAR(at.detA, 0.8, 1e-15);
  EXPECT_NEAR(at.hota, std::sqrt(0.4), 1e-15);
  EXPECT_NEAR(HotaSummary(h)->hota, std::sqrt(0.4), 1e-12);
}

// Target 1 (a 9 x 1 box) in frames 1..3. Hypothesis 10 covers it in frames
// 1 and 2 and lies 2.25 off in frame 3 (IoU 0.6); hypothesis 11 appears in
// frame 3 only, 1 off (IoU 0.8). Alignments: 10 gets (2 + 3/7) / (6 - 17/7)
// = 0.68, 11 gets (4/7) / (4 - 4/7) = 1/6, so frame 3 pairs the target with
// 10 (0.408 against 0.133), which counts up to alpha 0.6 (the reference's
// slack lets IoU 0.6 reach its 0.6000000000000001) and not above; 11 never
// counts, not even at 0.8, where its own overlap would.
TEST(Hota, AlignmentChoosesThePairAndAlphaDecidesIfItCounts) {
  const HotaCounts h = HotaOfBoxes(
      {{1, 1, 0, 0, 9, 1}, {2, 1, 0, 0, 9, 1}, {3, 1, 0, 0, 9, 1}},
      {{1, 10, 0, 0, 9, 1}, {2, 10, 0, 0, 9, 1}, {3, 10, 2.25, 0, 9, 1}, {3, 11, -1, 0, 9, 1}});
  ExpectAlphas(h, 0, 11, 3, 0, 1, 1, 1, 1, 2.6 / 3);
  // Two matches of 3 truth and 3 hypothesis frames: AssA 2 x 2/4 / 2,
  // AssRe and AssPr 2 x 2/3 / 2.
  ExpectAlphas(h, 12, kHotaAlphaCount - 1, 2, 1, 2, 0.5, 2.0 / 3, 2.0 / 3, 1.0);
  const HotaScores low = HotaAt(h, 11);
  const HotaScores high = HotaAt(h, 15);
  EXPECT_NEAR(low.hota, std::sqrt(0.75), 1e-15);
  EXPECT_NEAR(high.hota, std::sqrt(0.2), 1e-15);
  EXPECT_NEAR(HotaSummary(h)->hota, (12 * std::sqrt(0.75) + 7 * std::sqrt(0.2)) / 19, 1e-12);
}

TEST(Hota, SequencesCombineByCountsAndTruePositiveWeights) {
  const HotaCounts first = HotaOfBoxes({{1, 1, 0, 0, 5, 1}, {2, 1, 0, 0, 5, 1}},
                                       {{1, 7, 1, 0, 5, 1}, {2, 7, 1, 0, 5, 1}});
  const HotaCounts second = SplitTrack();
  const std::vector<HotaCounts> both = {first, second};
  const HotaCounts combined = CombineHota(both);
  // Alpha 0.05: TP 2 + 4, FP 0 + 1; AssA (1 x 2 + 0.5 x 4) / 6; LocA
  // (2/3 x 2 + 1 x 4) / 6.
  ExpectAlphas(combined, 0, 0, 6, 0, 1, 4.0 / 6, 4.0 / 6, 6.0 / 6, (4.0 / 3 + 4) / 6);
  // Alpha 0.8: the first sequence has no match, so only the second's
  // scores count, by its 4 true positives.
  ExpectAlphas(combined, 15, 15, 4, 2, 3, 0.5, 0.5, 1.0, 1.0);
  EXPECT_NEAR(HotaAt(combined, 15).detA, 4.0 / 9, 1e-15);
  // Not the mean of the sequences' HOTA.
  const double meanOfTwo = (HotaSummary(first)->hota + HotaSummary(second)->hota) / 2;
  EXPECT_GT(std::fabs(HotaSummary(combined)->hota - meanOfTwo), 1e-3);
  // One sequence combined is itself.
  const HotaCounts alone = CombineHota(std::vector<HotaCounts>{second});
  EXPECT_NEAR(HotaSummary(alone)->hota, HotaSummary(second)->hota, 1e-15);
}

TEST(Hota, PointsUseDistanceSimilarity) {
  // 5 apart with D = 10: similarity 0.5, a match up to alpha 0.5 exactly.
  std::vector<ObjectRow> truth = {{3, {1, 0, 0}}};
  std::vector<ObjectRow> hyps = {{3, {2, 3, 4}}};
  const HotaCounts h =
      SequenceHota(ScoredSequence::OfPoints(FrameObjects(truth, FrameObjects::Frames::kAny),
                                            FrameObjects(hyps, FrameObjects::Frames::kAny), 10.0));
  ExpectAlphas(h, 0, 9, 1, 0, 0, 1, 1, 1, 0.5);
  ExpectAlphas(h, 10, kHotaAlphaCount - 1, 0, 1, 1, 0, 0, 0, 1);
  EXPECT_DOUBLE_EQ(PointSimilarity({1, 0, 0}, {2, 3, 4}, 10.0), 0.5);
  EXPECT_DOUBLE_EQ(PointSimilarity({1, 0, 0}, {2, 30, 40}, 10.0), 0.0);
  EXPECT_DOUBLE_EQ(PointSimilarity({1, 2, 2}, {2, 2, 2}, 0.0), 1.0);
  EXPECT_DOUBLE_EQ(PointSimilarity({1, 2, 2}, {2, 2, 3}, 0.0), 0.0);
}

TEST(Hota, EmptySides) {
  EXPECT_FALSE(HotaSummary(HotaOfBoxes({}, {})));
  const auto onlyHypotheses = HotaSummary(HotaOfBoxes({}, {{1, 1, 0, 0, 2, 2}}));
  ASSERT_TRUE(onlyHypotheses);
  EXPECT_EQ(onlyHypotheses->hota, 0.0);
  EXPECT_EQ(onlyHypotheses->detPr, 0.0);
  EXPECT_EQ(onlyHypotheses->locA, 1.0);
  const HotaCounts onlyTruth = HotaOfBoxes({{1, 1, 0, 0, 2, 2}, {2, 1, 0, 0, 2, 2}}, {});
  ExpectAlphas(onlyTruth, 4, 4, 0, 2, 0, 0, 0, 0, 1);
}

// The reference's algorithm written out on dense matrices, every matching
// tried.
HotaCounts ReferenceHota(const std::vector<BoxText>& truth, const std::vector<BoxText>& hyps) {
  const BoxFrames t = Boxes(truth);
  const BoxFrames h = Boxes(hyps);
  const std::set<int> frames = FramesOf(truth, hyps);
  std::map<int, double> truthCount, hypCount;
  std::map<std::pair<int, int>, double> potential;
  for (const int f : frames) {
    const auto ts = t.InFrame(f);
    const auto hs = h.InFrame(f);
    for (const BoxObject& o : ts)
      truthCount[o.id] += 1;
    for (const BoxObject& o : hs)
      hypCount[o.id] += 1;
    for (const BoxObject& a : ts) {
      for (const BoxObject& b : hs) {
        double row = 0, col = 0;
        for (const BoxObject& x : hs)
          row += BoxIou(a, x);
        for (const BoxObject& x : ts)
          col += BoxIou(x, b);
        const double s = BoxIou(a, b);
        if (s > 0)
          potential[{a.id, b.id}] += s / (row + col - s);
      }
    }
  }
  HotaCounts counts;
  std::vector<std::map<std::pair<int, int>, double>> matches(kHotaAlphaCount);
  std::vector<double> loc(kHotaAlphaCount, 0.0);
  for (const int f : frames) {
    const auto ts = t.InFrame(f);
    const auto hs = h.InFrame(f);
    std::vector<std::vector<double>> score(ts.size(), std::vector<double>(hs.size(), 0.0));
    for (std::size_t i = 0; i < ts.size(); ++i) {
      for (std::size_t j = 0; j < hs.size(); ++j) {
        const double p = potential[{ts[i].id, hs[j].id}];
        const double align = p / (truthCount[ts[i].id] + hypCount[hs[j].id] - p);
        score[i][j] = align * BoxIou(ts[i], hs[j]);
      }
    }
    const BruteMatching best = BruteForceBestMatching(score);
    for (int a = 0; a < kHotaAlphaCount; ++a) {
      long long n = 0;
      for (std::size_t i = 0; i < ts.size(); ++i) {
        const int j = best.columnOf[i];
        if (j < 0)
          continue;
        const double s = BoxIou(ts[i], hs[static_cast<std::size_t>(j)]);
        if (s >= HotaAlpha(a) - kSimilaritySlack) {
          ++n;
          loc[static_cast<std::size_t>(a)] += s;
          matches[static_cast<std::size_t>(a)][{ts[i].id, hs[static_cast<std::size_t>(j)].id}] += 1;
        }
      }
      HotaAlphaCounts& at = counts.at[static_cast<std::size_t>(a)];
      at.tp += n;
      at.fn += static_cast<long long>(ts.size()) - n;
      at.fp += static_cast<long long>(hs.size()) - n;
    }
  }
  for (int a = 0; a < kHotaAlphaCount; ++a) {
    HotaAlphaCounts& at = counts.at[static_cast<std::size_t>(a)];
    double assA = 0, assRe = 0, assPr = 0;
    for (const auto& [ids, m] : matches[static_cast<std::size_t>(a)]) {
      const double g = truthCount[ids.first];
      const double d = hypCount[ids.second];
      assA += m * m / std::max(1.0, g + d - m);
      assRe += m * m / std::max(1.0, g);
      assPr += m * m / std::max(1.0, d);
    }
    const double tp = std::max(1.0, static_cast<double>(at.tp));
    at.assA = assA / tp;
    at.assRe = assRe / tp;
    at.assPr = assPr / tp;
    at.locA = std::max(1e-10, loc[static_cast<std::size_t>(a)]) /
              std::max(1e-10, static_cast<double>(at.tp));
  }
  return counts;
}

TEST(Hota, MatchesDirectImplementationOnRandomSequences) {
  std::mt19937 random(777);
  for (int trial = 0; trial < 400; ++trial) {
    const RandomSequence s = MakeRandomSequence(random, 1 + trial % 4, 2 + trial % 6);
    const HotaCounts got = HotaOfBoxes(s.truth, s.hypotheses);
    const HotaCounts want = ReferenceHota(s.truth, s.hypotheses);
    for (int a = 0; a < kHotaAlphaCount; ++a) {
      SCOPED_TRACE("trial " + std::to_string(trial) + ", alpha " + std::to_string(a));
      const HotaAlphaCounts& g = got.at[static_cast<std::size_t>(a)];
      const HotaAlphaCounts& w = want.at[static_cast<std::size_t>(a)];
      ASSERT_EQ(g.tp, w.tp);
      ASSERT_EQ(g.fn, w.fn);
      ASSERT_EQ(g.fp, w.fp);
      ASSERT_NEAR(g.assA, w.assA, 1e-9);
      ASSERT_NEAR(g.assRe, w.assRe, 1e-9);
      ASSERT_NEAR(g.assPr, w.assPr, 1e-9);
      ASSERT_NEAR(g.locA, w.locA, 1e-9);
    }
  }
}

}  // namespace
