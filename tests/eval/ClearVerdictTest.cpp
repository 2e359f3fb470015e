// The benchmark CLEAR matching's frame verdicts, for those who show them:
// they name exactly the misses, false positives and identity switches the
// counts hold, frame by frame, and a switch names the hypothesis matched
// before.

#include <gtest/gtest.h>

#include <random>

#include "EvalTestSupport.h"
#include "eval/BenchmarkClear.h"
#include "eval/ScoredSequence.h"

using namespace eval_test;

namespace {

struct Seen {
  long long misses = 0;
  long long falsePositives = 0;
  long long switches = 0;
  long long matches = 0;
  std::size_t frames = 0;
};

Seen Observe(const ScoredSequence& sequence, double threshold, ClearCounts& counts) {
  Seen seen;
  counts = BenchmarkClear(sequence, threshold, [&](const ClearFrameVerdict& verdict) {
    const ScoredFrame frame = sequence.Frame(verdict.frameIndex);
    EXPECT_EQ(verdict.frameIndex, seen.frames);
    ++seen.frames;
    EXPECT_EQ(verdict.hypothesisOf.size(), frame.truth.size());
    EXPECT_EQ(verdict.switchedFrom.size(), frame.truth.size());
    std::vector<char> taken(frame.hypotheses.size(), 0);
    for (std::size_t t = 0; t < frame.truth.size(); ++t) {
      const int h = verdict.hypothesisOf[t];
      if (h < 0) {
        ++seen.misses;
        EXPECT_EQ(verdict.switchedFrom[t], -1);
        continue;
      }
      EXPECT_LT(static_cast<std::size_t>(h), frame.hypotheses.size());
      EXPECT_FALSE(taken[static_cast<std::size_t>(h)]) << "one hypothesis, two truth objects";
      taken[static_cast<std::size_t>(h)] = 1;
      ++seen.matches;
      if (verdict.switchedFrom[t] >= 0) {
        ++seen.switches;
        EXPECT_NE(verdict.switchedFrom[t], frame.hypotheses[static_cast<std::size_t>(h)]);
      }
    }
    for (const char t : taken)
      seen.falsePositives += t ? 0 : 1;
  });
  return seen;
}

TEST(ClearVerdict, ASwitchNamesTheHypothesisMatchedBefore) {
  // Target 1 under hypothesis 7, then 8, then (after a frame with no
  // hypotheses at all) 7 again; hypothesis 9 is nowhere near anyone.
  const BoxFrames truth =
      Boxes({{1, 1, 0, 0, 4, 4}, {2, 1, 0, 0, 4, 4}, {3, 1, 0, 0, 4, 4}, {4, 1, 0, 0, 4, 4}});
  const BoxFrames hypotheses =
      Boxes({{1, 7, 0, 0, 4, 4}, {2, 8, 0, 0, 4, 4}, {2, 9, 50, 0, 4, 4}, {4, 7, 0, 0, 4, 4}});
  const ScoredSequence sequence = ScoredSequence::OfBoxes(truth, hypotheses);
  std::vector<std::vector<int>> switchedFrom;
  std::vector<std::vector<int>> hypothesisOf;
  const ClearCounts counts = BenchmarkClear(sequence, 0.5, [&](const ClearFrameVerdict& v) {
    switchedFrom.emplace_back(v.switchedFrom.begin(), v.switchedFrom.end());
    hypothesisOf.emplace_back(v.hypothesisOf.begin(), v.hypothesisOf.end());
  });
  EXPECT_EQ(counts.idsw, 2);
  ASSERT_EQ(switchedFrom.size(), 4u);
  const auto idIndex = [&](int id) {
    const auto ids = sequence.HypothesisIds();
    return static_cast<int>(std::find(ids.begin(), ids.end(), id) - ids.begin());
  };
  EXPECT_EQ(switchedFrom[0], std::vector<int>{-1});
  EXPECT_EQ(switchedFrom[1], std::vector<int>{idIndex(7)});
  EXPECT_EQ(hypothesisOf[1], std::vector<int>{0}) << "8 before 9 in the frame";
  EXPECT_EQ(hypothesisOf[2], std::vector<int>{-1});
  EXPECT_EQ(switchedFrom[3], std::vector<int>{idIndex(8)});
}

TEST(ClearVerdict, TheVerdictsAddUpToTheCounts) {
  std::mt19937 random(1717);
  for (int trial = 0; trial < 60; ++trial) {
    const RandomSequence made = MakeRandomSequence(random, 2 + trial % 9, 5 + trial % 23);
    const ScoredSequence sequence =
        ScoredSequence::OfBoxes(Boxes(made.truth), Boxes(made.hypotheses));
    for (const double threshold : {0.3, 0.5, 0.8}) {
      ClearCounts counts;
      const Seen seen = Observe(sequence, threshold, counts);
      ASSERT_EQ(seen.frames, sequence.FrameCount());
      EXPECT_EQ(seen.misses, counts.fn) << trial;
      EXPECT_EQ(seen.falsePositives, counts.fp) << trial;
      EXPECT_EQ(seen.switches, counts.idsw) << trial;
      EXPECT_EQ(seen.matches, counts.tp) << trial;
      // Watching changes nothing.
      const ClearCounts unobserved = BenchmarkClear(sequence, threshold);
      EXPECT_EQ(unobserved.idsw, counts.idsw);
      EXPECT_EQ(unobserved.frag, counts.frag);
      EXPECT_DOUBLE_EQ(unobserved.similaritySum, counts.similaritySum);
    }
  }
}

}  // namespace
