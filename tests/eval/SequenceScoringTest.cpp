// The best matching of a frame against every matching, and whole sequences
// scored and combined: a near-perfect tracker on a sequence of the field's
// size, and point sequences at any frame numbers against the track-file
// evaluation of the same objects.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include "EvalTestSupport.h"
#include "eval/BestMatching.h"
#include "eval/Evaluation.h"
#include "scoring/MotProtocol.h"
#include "scoring/SequenceScoring.h"
#include "support/SyntheticMot.h"

using namespace eval_test;

namespace {

TEST(BestMatching, MatchesBruteForceOnRandomSparseFrames) {
  std::mt19937 random(31337);
  std::uniform_int_distribution<int> size(1, 6);
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  std::uniform_int_distribution<int> value(0, 5);  // few values: ties are common
  BestMatching matching;
  std::vector<int> pairOf;
  for (int trial = 0; trial < 3000; ++trial) {
    const int rows = size(random);
    const int cols = size(random);
    std::vector<ScoredPair> pairs;
    std::vector<std::vector<double>> dense(static_cast<std::size_t>(rows),
                                           std::vector<double>(static_cast<std::size_t>(cols), 0));
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < cols; ++c) {
        if (chance(random) < 0.45) {
          const double score = 0.25 * value(random) + (trial % 2 ? 0.0 : chance(random));
          pairs.push_back({r, c, score});
          dense[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] = score;
        }
      }
    }
    std::shuffle(pairs.begin(), pairs.end(), random);
    matching.Solve(pairs, rows, cols, pairOf);
    ASSERT_EQ(pairOf.size(), static_cast<std::size_t>(rows));
    std::set<int> columns;
    double total = 0.0;
    for (int r = 0; r < rows; ++r) {
      const int p = pairOf[static_cast<std::size_t>(r)];
      if (p < 0)
        continue;
      ASSERT_LT(static_cast<std::size_t>(p), pairs.size());
      ASSERT_EQ(pairs[static_cast<std::size_t>(p)].truth, r) << "trial " << trial;
      ASSERT_TRUE(columns.insert(pairs[static_cast<std::size_t>(p)].hypothesis).second)
          << "a hypothesis matched twice, trial " << trial;
      total += pairs[static_cast<std::size_t>(p)].score;
    }
    EXPECT_NEAR(total, BruteForceBestMatching(dense).total, 1e-9) << "trial " << trial;
  }
}

// The field-sized synthetic scene: 70 pedestrians walking through 600 frames
// of a 1920 x 1080 picture, each for a stretch of 150 to 600 frames, plus a
// static person and a car that are not scored; the tracker reports every
// pedestrian 1 pixel off (and a box on the static person, which the
// protocol removes).
struct FieldSequence {
  std::vector<MotTruthRow> truth;
  std::vector<BoxRow> hypotheses;
};

FieldSequence NearPerfectTracker() {
  const synthetic_mot::Scene scene = synthetic_mot::MakeScene({});
  FieldSequence s;
  for (const synthetic_mot::Box& b : scene.truth)
    s.truth.push_back({b.frame, {b.id, b.left, b.top, b.width, b.height}, b.conf, b.classId});
  for (const synthetic_mot::Box& b : scene.hypotheses)
    s.hypotheses.push_back({b.frame, {b.id, b.left, b.top, b.width, b.height}});
  return s;
}

TEST(SequenceScoring, NearPerfectTrackerOnAFieldSizedSequence) {
  const FieldSequence s = NearPerfectTracker();
  ProtocolResult kept;
  ASSERT_FALSE(ApplyMotProtocol(s.truth, s.hypotheses, kept));
  EXPECT_EQ(kept.removedHypotheses, 600);
  EXPECT_EQ(kept.unscoredTruth, 1200);

  SequenceSettings settings;
  settings.frames = 600;
  const SequenceResult boxes =
      ScoreBoxes(BoxFrames(kept.truth), BoxFrames(kept.hypotheses), settings);
  EXPECT_EQ(boxes.frames, 600);
  EXPECT_EQ(boxes.clear.fp, 0);
  EXPECT_EQ(boxes.clear.fn, 0);
  EXPECT_EQ(boxes.clear.idsw, 0);
  EXPECT_EQ(boxes.clear.mt, 70);
  EXPECT_GT(*Mota(boxes.clear), 0.99);
  EXPECT_GT(*Idf1(boxes.identity), 0.99);
  EXPECT_GT(*Motp(boxes.clear), 0.9);
  const auto hota = HotaSummary(boxes.hota);
  ASSERT_TRUE(hota);
  EXPECT_GT(hota->detA, 0.9);
  EXPECT_NEAR(hota->assA, 1.0, 1e-12);

  // The same by box centres, 20 pixels of reach.
  settings.distance = 20;
  const SequenceResult points = ScorePoints(BoxCentres(BoxFrames(kept.truth)),
                                            BoxCentres(BoxFrames(kept.hypotheses)), settings);
  EXPECT_EQ(points.clear.tp, boxes.clear.tp);
  EXPECT_GT(*Mota(points.clear), 0.99);
  EXPECT_GT(*Idf1(points.identity), 0.99);
  EXPECT_NEAR(*Motp(points.clear), std::sqrt(2.0), 1e-9);

  // Without the protocol the static person's hypothesis is a match and the
  // car a miss.
  const SequenceResult all = ScoreBoxes(BoxFrames(AllTruthBoxes(s.truth)),
                                        BoxFrames(std::vector<BoxRow>(s.hypotheses)), settings);
  EXPECT_EQ(all.clear.fn, 600);
  EXPECT_EQ(all.clear.tp, boxes.clear.tp + 600);
}

TEST(SequenceScoring, PointsAtAnyFramesScoreAsTheTrackFileDoes) {
  std::mt19937 random(4242);
  for (int trial = 0; trial < 200; ++trial) {
    const RandomSequence s = MakeRandomSequence(random, 1 + trial % 4, 3 + trial % 5);
    // The same objects in frames 0.. (where the track-file evaluation
    // scores them) and far beyond 499, spread apart.
    const auto rows = [](const std::vector<BoxText>& boxes, int base, int step) {
      std::vector<ObjectRow> r;
      for (const BoxText& b : boxes)
        r.push_back({base + step * b.frame, {b.id, b.left + b.width / 2, b.top + b.height / 2}});
      return r;
    };
    EvaluationSettings trackFile;
    trackFile.threshold = 1.5;
    const EvaluationTotals want = Evaluate(FrameObjects(rows(s.truth, 0, 1)),
                                           FrameObjects(rows(s.hypotheses, 0, 1)), trackFile, {})
                                      .totals;
    SequenceSettings settings;
    settings.distance = 1.5;
    const SequenceResult got = ScorePoints(
        FrameObjects(rows(s.truth, -50000, 7919), FrameObjects::Frames::kAny),
        FrameObjects(rows(s.hypotheses, -50000, 7919), FrameObjects::Frames::kAny), settings);
    SCOPED_TRACE("trial " + std::to_string(trial));
    EXPECT_EQ(got.frames, want.frames);
    EXPECT_EQ(got.clear.tp, want.matches);
    EXPECT_EQ(got.clear.fp, want.fp);
    EXPECT_EQ(got.clear.fn, want.fn);
    EXPECT_EQ(got.clear.idsw, want.idsw);
    EXPECT_EQ(got.clear.frag, want.frag);
    EXPECT_EQ(got.clear.mt, want.mt);
    EXPECT_EQ(got.clear.ml, want.ml);
    EXPECT_EQ(got.identity.idtp, want.idtp);
    EXPECT_DOUBLE_EQ(got.clear.similaritySum, want.distanceSum);
  }
}

TEST(SequenceScoring, CombinedCountsAreSumsAndRatiosComeAfter) {
  // Sequence one: 3 frames perfect. Sequence two: 1 frame, a miss and a
  // false positive.
  SequenceSettings settings;
  const SequenceResult one =
      ScoreBoxes(Boxes({{1, 1, 0, 0, 4, 4}, {2, 1, 0, 0, 4, 4}, {3, 1, 0, 0, 4, 4}}),
                 Boxes({{1, 9, 0, 0, 4, 4}, {2, 9, 0, 0, 4, 4}, {3, 9, 0, 0, 4, 4}}), settings);
  const SequenceResult two =
      ScoreBoxes(Boxes({{1, 1, 0, 0, 4, 4}}), Boxes({{1, 9, 40, 0, 4, 4}}), settings);
  const std::vector<SequenceResult> both = {one, two};
  const SequenceResult c = CombineResults(both);
  EXPECT_EQ(c.frames, 4);
  EXPECT_EQ(c.clear.tp, 3);
  EXPECT_EQ(c.clear.fn, 1);
  EXPECT_EQ(c.clear.fp, 1);
  EXPECT_EQ(c.clear.mt, 1);
  EXPECT_EQ(c.clear.ml, 1);
  // (3 - 1) / 4, not the mean of 1 and -1.
  EXPECT_DOUBLE_EQ(*Mota(c.clear), 0.5);
  EXPECT_DOUBLE_EQ(*Idf1(c.identity), 3.0 / 4);
  EXPECT_DOUBLE_EQ(HotaAt(c.hota, 0).detA, 3.0 / 5);

  // Families not asked for are left at zero.
  settings.metrics = {false, true, false};
  const SequenceResult onlyIdentity =
      ScoreBoxes(Boxes({{1, 1, 0, 0, 4, 4}}), Boxes({{1, 9, 0, 0, 4, 4}}), settings);
  EXPECT_EQ(onlyIdentity.clear.tp, 0);
  EXPECT_EQ(onlyIdentity.clear.gt, 1);
  EXPECT_EQ(onlyIdentity.identity.idtp, 1);
  EXPECT_FALSE(HotaSummary(onlyIdentity.hota));
}

}  // namespace
