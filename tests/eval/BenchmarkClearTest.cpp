// CLEAR MOT and identity under the benchmark's conventions: minimal cases
// that tell them from the track-file conventions (the same sequences scored
// by their box centres, side by side), and random sequences against a
// direct implementation that tries every matching.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <set>
#include <vector>

#include "EvalTestSupport.h"
#include "eval/BenchmarkClear.h"
#include "eval/ScoredSequence.h"
#include "scoring/SequenceScoring.h"

using namespace eval_test;

namespace {

// A 4 x 1 box at `left` in frame `frame`: two such boxes `s` apart have IoU
// (4 - s) / (4 + s) and centres s apart. With the point reach 1.3 the same
// pairs correspond both ways for the shifts used here (0, 0.5, 1, >= 2).
BoxText Box(int frame, int id, double left) {
  return {frame, id, left, 0, 4, 1};
}
constexpr double kReach = 1.3;

struct Counts {
  long long tp, fn, fp, idsw, frag, mt, pt, ml;
  bool operator==(const Counts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Counts& c) {
  return out << "tp " << c.tp << " fn " << c.fn << " fp " << c.fp << " idsw " << c.idsw << " frag "
             << c.frag << " mt " << c.mt << " pt " << c.pt << " ml " << c.ml;
}

Counts Of(const ClearCounts& c) {
  return {c.tp, c.fn, c.fp, c.idsw, c.frag, c.mt, c.pt, c.ml};
}

struct Case {
  const char* name;
  std::vector<BoxText> truth;
  std::vector<BoxText> hypotheses;
  Counts benchmark;      // boxes, IoU 0.5
  Counts trackFile;      // centres, distance 1.3
  double similaritySum;  // the benchmark's, IoU
};

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      // Target 1 matched in 4 of 5 frames, target 2 in 1 of 5: both partly
      // tracked for the benchmark (more than 80 %, less than 20 % needed),
      // mostly tracked and mostly lost for the track file.
      {"coverage bounds",
       {Box(1, 1, 0), Box(2, 1, 0), Box(3, 1, 0), Box(4, 1, 0), Box(5, 1, 0), Box(1, 2, 100),
        Box(2, 2, 100), Box(3, 2, 100), Box(4, 2, 100), Box(5, 2, 100)},
       {Box(1, 10, 0), Box(2, 10, 0), Box(3, 10, 0), Box(4, 10, 0), Box(5, 20, 100)},
       {5, 5, 0, 0, 0, 0, 2, 0},
       {5, 5, 0, 0, 0, 1, 0, 1},
       5.0},
      // Matched to 10 (1 off, IoU 0.6) in frame 1; frame 2 has no
      // hypothesis at all; in frame 3 hypothesis 11 fits better, but the
      // track goes on with 10: no switch, and no fragmentation either, as
      // such a frame ends no track. The track file counts the miss as one.
      {"a frame without hypotheses keeps the track",
       {Box(1, 1, 0), Box(2, 1, 0), Box(3, 1, 0)},
       {Box(1, 10, 1), Box(3, 10, 1), Box(3, 11, 0)},
       {2, 1, 1, 0, 0, 0, 1, 0},
       {2, 1, 1, 0, 1, 0, 1, 0},
       1.2},
      // The same with a hypothesis far off in frame 2: the miss there ends
      // the track, so frame 3 takes the best overlap (11) and counts a
      // switch from 10 and a fragmentation. The track file keeps 10.
      {"a frame with a stray hypothesis ends the track",
       {Box(1, 1, 0), Box(2, 1, 0), Box(3, 1, 0)},
       {Box(1, 10, 1), Box(2, 30, 50), Box(3, 10, 1), Box(3, 11, 0)},
       {2, 1, 2, 1, 1, 0, 1, 0},
       {2, 1, 2, 0, 1, 0, 1, 0},
       1.6},
      // Target 1 is absent from frame 2, where target 2 is matched: its
      // track ends there, so its match in frame 3 is a fragmentation for
      // the benchmark; the track file looks only at the target's own frames.
      {"absent from a matched frame",
       {Box(1, 1, 0), Box(3, 1, 0), Box(1, 2, 100), Box(2, 2, 100), Box(3, 2, 100)},
       {Box(1, 10, 0), Box(3, 10, 0), Box(1, 20, 100), Box(2, 20, 100), Box(3, 20, 100)},
       {5, 0, 0, 0, 1, 2, 0, 0},
       {5, 0, 0, 0, 0, 2, 0, 0},
       5.0},
      // Truth 1..3 at [0,3], [1,4], [-1,2] and hypotheses 10..12 at [0,3],
      // [1,4], [2,5], all 3 x 1: overlaps 1 (1-10, 2-11) and 0.5 (1-11,
      // 2-10, 2-12, 3-10). The greatest total overlap pairs 1-10 and 2-11
      // (2.0), although three pairs of 0.5 each could be made (1.5): the
      // benchmark maximises overlap, the track file the number of pairs.
      {"greatest overlap before most pairs",
       {{1, 1, 0, 0, 3, 1}, {1, 2, 1, 0, 3, 1}, {1, 3, -1, 0, 3, 1}},
       {{1, 10, 0, 0, 3, 1}, {1, 11, 1, 0, 3, 1}, {1, 12, 2, 0, 3, 1}},
       {2, 1, 1, 0, 0, 2, 0, 1},
       {3, 0, 0, 0, 0, 3, 0, 0},
       2.0},
      // A swap: hypotheses 10 and 20 exchange targets in frame 3: two
      // switches both ways.
      {"swap",
       {Box(1, 1, 0), Box(2, 1, 0), Box(3, 1, 0), Box(1, 2, 10), Box(2, 2, 10), Box(3, 2, 10)},
       {Box(1, 10, 0), Box(2, 10, 0), Box(3, 20, 0), Box(1, 20, 10), Box(2, 20, 10),
        Box(3, 10, 10)},
       {6, 0, 0, 2, 0, 2, 0, 0},
       {6, 0, 0, 2, 0, 2, 0, 0},
       6.0},
      // Frames with truth only, hypotheses only, and nothing matching.
      {"empty sides",
       {Box(1, 1, 0), Box(2, 1, 0)},
       {Box(3, 10, 0), Box(2, 10, 50)},
       {0, 2, 2, 0, 0, 0, 0, 1},
       {0, 2, 2, 0, 0, 0, 0, 1},
       0.0},
  };
  return cases;
}

TEST(BenchmarkClear, ConventionsSideBySideWithTheTrackFiles) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    const ScoredSequence boxes = ScoredSequence::OfBoxes(Boxes(c.truth), Boxes(c.hypotheses));
    const ClearCounts benchmark = BenchmarkClear(boxes, 0.5);
    EXPECT_EQ(Of(benchmark), c.benchmark);
    EXPECT_NEAR(benchmark.similaritySum, c.similaritySum, 1e-12);
    EXPECT_EQ(benchmark.gt, static_cast<long long>(c.truth.size()));
    EXPECT_EQ(benchmark.hypotheses, static_cast<long long>(c.hypotheses.size()));

    SequenceSettings points;
    points.distance = kReach;
    const SequenceResult trackFile = ScorePoints(Centres(c.truth), Centres(c.hypotheses), points);
    EXPECT_EQ(Of(trackFile.clear), c.trackFile);
  }
}

TEST(BenchmarkClear, IouThresholdAndMeanOverlap) {
  // Shifts 0, 0.5 and 1: IoU 1, 7/9 and 3/5.
  const std::vector<BoxText> truth = {Box(1, 1, 0), Box(2, 1, 0), Box(3, 1, 0)};
  const std::vector<BoxText> hyps = {Box(1, 5, 0), Box(2, 5, 0.5), Box(3, 5, 1)};
  const ScoredSequence s = ScoredSequence::OfBoxes(Boxes(truth), Boxes(hyps));
  const ClearCounts half = BenchmarkClear(s, 0.5);
  EXPECT_EQ(half.tp, 3);
  EXPECT_NEAR(*Motp(half), (1 + 7.0 / 9 + 0.6) / 3, 1e-15);
  // At 0.7 the third frame's pair is out; a fragmentation needs a return.
  const ClearCounts strict = BenchmarkClear(s, 0.7);
  EXPECT_EQ(Of(strict), (Counts{2, 1, 1, 0, 0, 0, 1, 0}));
  EXPECT_NEAR(*Motp(strict), (1 + 7.0 / 9) / 2, 1e-15);
  EXPECT_NEAR(*Mota(strict), (2.0 - 1 - 0) / 3, 1e-15);
  // The threshold itself matches: 3/5 at 0.6.
  EXPECT_EQ(BenchmarkClear(s, 0.6).tp, 3);

  // Identity with the same rule: at 0.7, 2 of 3 frames.
  const IdentityCounts id = BenchmarkIdentity(s, 0.7);
  EXPECT_EQ(id.idtp, 2);
  EXPECT_EQ(id.idfn, 1);
  EXPECT_EQ(id.idfp, 1);
  EXPECT_NEAR(*Idf1(id), 2.0 / 3, 1e-15);
}

// The official rules written out directly: dense matrices, every matching
// tried, states kept by id.
ClearCounts ReferenceClear(const std::vector<BoxText>& truth, const std::vector<BoxText>& hyps,
                           double threshold) {
  const BoxFrames t = Boxes(truth);
  const BoxFrames h = Boxes(hyps);
  const std::set<int> frames = FramesOf(truth, hyps);
  ClearCounts c;
  std::map<int, int> last;      // truth id -> hypothesis id, ever
  std::map<int, int> previous;  // truth id -> hypothesis id, previous frame with both
  std::map<int, long long> present, matched, starts;
  for (const int frame : frames) {
    const auto ts = t.InFrame(frame);
    const auto hs = h.InFrame(frame);
    c.gt += static_cast<long long>(ts.size());
    c.hypotheses += static_cast<long long>(hs.size());
    for (const BoxObject& o : ts)
      ++present[o.id];
    if (ts.empty() || hs.empty())
      continue;
    std::vector<std::vector<double>> score(ts.size(), std::vector<double>(hs.size(), 0.0));
    for (std::size_t i = 0; i < ts.size(); ++i) {
      for (std::size_t j = 0; j < hs.size(); ++j) {
        const double iou = BoxIou(ts[i], hs[j]);
        if (iou < threshold - kSimilaritySlack)
          continue;
        const auto p = previous.find(ts[i].id);
        score[i][j] = iou + (p != previous.end() && p->second == hs[j].id ? 1000.0 : 0.0);
      }
    }
    const BruteMatching best = BruteForceBestMatching(score);
    std::map<int, int> now;
    for (std::size_t i = 0; i < ts.size(); ++i) {
      const int j = best.columnOf[i];
      if (j < 0)
        continue;
      const int id = ts[i].id;
      const int hid = hs[static_cast<std::size_t>(j)].id;
      if (last.count(id) && last[id] != hid)
        ++c.idsw;
      last[id] = hid;
      ++matched[id];
      if (!previous.count(id))
        ++starts[id];
      now[id] = hid;
      ++c.tp;
      c.similaritySum += BoxIou(ts[i], hs[static_cast<std::size_t>(j)]);
    }
    previous = now;
  }
  c.fn = c.gt - c.tp;
  c.fp = c.hypotheses - c.tp;
  for (const auto& [id, n] : present) {
    const double ratio = static_cast<double>(matched[id]) / static_cast<double>(n);
    if (ratio > 0.8)
      ++c.mt;
    else if (ratio >= 0.2)
      ++c.pt;
    else
      ++c.ml;
    if (starts[id] > 1)
      c.frag += starts[id] - 1;
  }
  return c;
}

// Every one-to-one pairing of ids tried for the most frames within reach.
long long ReferenceIdtp(const std::vector<BoxText>& truth, const std::vector<BoxText>& hyps,
                        double threshold) {
  std::map<std::pair<int, int>, long long> together;
  std::set<int> truthIds, hypIds;
  const BoxFrames h = Boxes(hyps);
  for (const BoxText& tb : truth) {
    truthIds.insert(tb.id);
    const BoxObject t{tb.id, tb.left, tb.top, tb.width, tb.height};
    for (const BoxObject& o : h.InFrame(tb.frame)) {
      if (BoxIou(t, o) >= threshold)
        ++together[{tb.id, o.id}];
    }
  }
  for (const BoxText& b : hyps)
    hypIds.insert(b.id);
  const std::vector<int> ts(truthIds.begin(), truthIds.end());
  const std::vector<int> hs(hypIds.begin(), hypIds.end());
  std::vector<std::vector<double>> score(ts.size(), std::vector<double>(hs.size(), 0.0));
  for (std::size_t i = 0; i < ts.size(); ++i) {
    for (std::size_t j = 0; j < hs.size(); ++j) {
      const auto it = together.find({ts[i], hs[j]});
      score[i][j] = it == together.end() ? 0.0 : static_cast<double>(it->second);
    }
  }
  return static_cast<long long>(BruteForceBestMatching(score).total);
}

TEST(BenchmarkClear, MatchesDirectImplementationOnRandomSequences) {
  std::mt19937 random(20240917);
  for (int trial = 0; trial < 600; ++trial) {
    const RandomSequence s = MakeRandomSequence(random, 1 + trial % 4, 2 + trial % 7);
    const double threshold = trial % 3 == 0 ? 0.3 : 0.5;
    const ScoredSequence scored = ScoredSequence::OfBoxes(Boxes(s.truth), Boxes(s.hypotheses));
    const ClearCounts got = BenchmarkClear(scored, threshold);
    const ClearCounts want = ReferenceClear(s.truth, s.hypotheses, threshold);
    ASSERT_EQ(Of(got), Of(want)) << "trial " << trial;
    ASSERT_NEAR(got.similaritySum, want.similaritySum, 1e-9) << "trial " << trial;
    const IdentityCounts id = BenchmarkIdentity(scored, threshold);
    ASSERT_EQ(id.idtp, ReferenceIdtp(s.truth, s.hypotheses, threshold)) << "trial " << trial;
    ASSERT_EQ(id.idtp + id.idfn, got.gt);
    ASSERT_EQ(id.idtp + id.idfp, got.hypotheses);
  }
}

}  // namespace
