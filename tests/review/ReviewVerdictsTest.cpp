// The frame verdicts a review paints, taken from the evaluation as it
// counts, by box IoU and by centre distance: which truth objects are missed,
// which hypotheses are false positives, which matches are identity switches
// and from which id, what the protocol leaves out, the pairs the identity
// metrics count, and captions whose last scores are the evaluation's own.

#include <gtest/gtest.h>

#include <random>

#include "review/ReviewPlan.h"
#include "review/ReviewVerdicts.h"

namespace {

using review::FrameVerdicts;
using review::SequenceVerdicts;

MotTruthRow Truth(int frame, int id, double left, double top, int classId = 1,
                  std::size_t line = 0) {
  MotTruthRow row;
  row.frame = frame;
  row.box = {id, left, top, 10, 20};
  row.classId = classId;
  row.line = line;
  return row;
}

BoxRow Hypothesis(int frame, int id, double left, double top) {
  return {frame, {id, left, top, 10, 20}};
}

// Centres matched within `distance`, or boxes by IoU when it is not given.
MotScoringSettings Settings(std::optional<double> distance, bool protocol = false) {
  MotScoringSettings settings;
  settings.protocol = protocol;
  if (distance) {
    settings.matching = MatchingKind::kPointDistance;
    settings.sequence.distance = *distance;
  }
  return settings;
}

SequenceVerdicts Verdicts(const std::vector<MotTruthRow>& truth,
                          const std::vector<BoxRow>& hypotheses,
                          const MotScoringSettings& settings) {
  SequenceVerdicts verdicts;
  const auto problem = review::EvaluateForReview(truth, hypotheses, settings, verdicts);
  EXPECT_FALSE(problem) << problem->what;
  return verdicts;
}

TEST(ReviewVerdicts, EachErrorIsNamedAtItsFrameByEitherMatching) {
  // Truth 1 followed by hypothesis 7, then 8 while 7 is away, then 7 again:
  // two switches, 7>8 and 8>7. Truth 2 is missed at frame 2; hypothesis 9
  // overlaps truth 1 at frame 1 but is left over: a false positive whose
  // pair the identity metrics still count.
  const std::vector<MotTruthRow> truth{Truth(1, 1, 100, 100), Truth(1, 2, 300, 100),
                                       Truth(2, 1, 102, 100), Truth(2, 2, 302, 100),
                                       Truth(3, 1, 104, 100), Truth(4, 1, 106, 100)};
  const std::vector<BoxRow> hypotheses{Hypothesis(1, 7, 100, 101), Hypothesis(1, 9, 101, 100),
                                       Hypothesis(1, 5, 301, 100), Hypothesis(2, 7, 102, 100),
                                       Hypothesis(3, 8, 104, 100), Hypothesis(4, 7, 106, 100),
                                       Hypothesis(4, 8, 600, 600)};
  for (const std::optional<double> distance : {std::optional<double>(), std::optional(5.0)}) {
    SCOPED_TRACE(distance ? "centres" : "boxes");
    const SequenceVerdicts verdicts = Verdicts(truth, hypotheses, Settings(distance));
    ASSERT_EQ(verdicts.frames.size(), 4u);

    const FrameVerdicts& first = verdicts.frames[0];
    EXPECT_EQ(first.frame, 1);
    ASSERT_EQ(first.hypotheses.size(), 3u);
    // Each side by id: hypotheses 5, 7, 9.
    EXPECT_EQ(first.hypotheses[2].id, 9);
    EXPECT_EQ(first.falsePositives, std::vector<int>{2});
    EXPECT_TRUE(first.misses.empty());
    EXPECT_EQ(first.withinReach, (std::vector<review::IdPair>{{1, 7}, {1, 9}, {2, 5}}));
    EXPECT_EQ(first.counts.truth, 2);
    EXPECT_EQ(first.counts.hypotheses, 3);

    EXPECT_EQ(verdicts.frames[1].misses, std::vector<int>{1});
    EXPECT_EQ(verdicts.frames[1].truth[1].left, 302.0) << "boxes as the rows give them";
    ASSERT_EQ(verdicts.frames[2].switches.size(), 1u);
    EXPECT_EQ(verdicts.frames[2].switches[0].previousId, 7);
    EXPECT_EQ(verdicts.frames[2].hypotheses[0].id, 8);
    ASSERT_EQ(verdicts.frames[3].switches.size(), 1u);
    EXPECT_EQ(verdicts.frames[3].switches[0].previousId, 8);
    EXPECT_EQ(verdicts.frames[3].falsePositives, std::vector<int>{1});
    EXPECT_EQ(verdicts.misses, 1);
    EXPECT_EQ(verdicts.falsePositives, 2);
    EXPECT_EQ(verdicts.switches, 2);
    EXPECT_EQ(verdicts.Find(3), &verdicts.frames[2]);
    EXPECT_EQ(verdicts.Find(5), nullptr);
  }
}

TEST(ReviewVerdicts, TheProtocolsLeftOutRowsShowNoMark) {
  // A hypothesis on a static person (class 7) is removed, not a false
  // positive; the static person and a non-pedestrian are no truth to miss.
  const std::vector<MotTruthRow> truth{Truth(1, 1, 100, 100), Truth(1, 2, 300, 100, 7),
                                       Truth(1, 3, 500, 100, 3)};
  const std::vector<BoxRow> hypotheses{Hypothesis(1, 7, 100, 100), Hypothesis(1, 8, 300, 100)};
  const SequenceVerdicts verdicts = Verdicts(truth, hypotheses, Settings({}, true));
  ASSERT_EQ(verdicts.frames.size(), 1u);
  EXPECT_EQ(verdicts.frames[0].truth.size(), 1u);
  EXPECT_EQ(verdicts.frames[0].hypotheses.size(), 1u);
  EXPECT_FALSE(verdicts.frames[0].HasError());
  EXPECT_EQ(verdicts.removedHypotheses, 1);
  EXPECT_EQ(verdicts.unscoredTruth, 2);
  const auto unscored = Verdicts(truth, hypotheses, Settings({}, false));
  EXPECT_EQ(unscored.misses, 1);
  EXPECT_EQ(unscored.falsePositives, 0);

  SequenceVerdicts refused;
  const auto problem = review::EvaluateForReview(
      std::vector<MotTruthRow>{Truth(1, 1, 0, 0, 1, 4), Truth(2, 1, 0, 0, 40, 9)}, {},
      Settings({}, true), refused);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->truthLine, 9u);
}

TEST(ReviewVerdicts, TheLastCaptionGivesTheEvaluationsScores) {
  std::mt19937 random(99);
  std::vector<MotTruthRow> truth;
  std::vector<BoxRow> hypotheses;
  for (int f = 1; f <= 700; ++f) {
    for (int t = 0; t < 8; ++t) {
      truth.push_back(Truth(f, t, 40.0 * t + f % 50, 50.0 + t));
      if (random() % 9 != 0)
        hypotheses.push_back(Hypothesis(f, static_cast<int>(random() % 3 == 0 ? 50 + t : 20 + t),
                                        40.0 * t + f % 50 + static_cast<double>(random() % 5),
                                        50.0 + t));
    }
    if (random() % 4 == 0)
      hypotheses.push_back(Hypothesis(f, 99, 500, 500));
  }
  for (const std::optional<double> distance : {std::optional<double>(), std::optional(3.0)}) {
    SCOPED_TRACE(distance ? "centres" : "boxes");
    const SequenceVerdicts verdicts = Verdicts(truth, hypotheses, Settings(distance, true));
    ASSERT_GT(verdicts.switches, 5);
    EXPECT_EQ(verdicts.frames.back().frame, 700) << "frames of any number";
    const review::ReviewPlan plan(verdicts, 1.0);
    const review::CaptionFigures last = plan.CaptionOf(700);
    ASSERT_TRUE(last.mota && last.idf1);
    EXPECT_DOUBLE_EQ(*last.mota, *verdicts.mota);
    EXPECT_DOUBLE_EQ(*last.idf1, *verdicts.idf1);
    // Frames after the last with objects keep its scores, without its errors.
    const review::CaptionFigures later = plan.CaptionOf(4000);
    EXPECT_EQ(later.frame, 4000);
    EXPECT_EQ(later.mota, last.mota);
    EXPECT_EQ(later.misses + later.falsePositives + later.switches, 0);
    EXPECT_FALSE(plan.CaptionOf(-3).mota) << "before the first frame nothing is scored";
    // The error frames are those with a verdict that holds an error.
    for (const int frame : plan.ErrorFrames(1, 700))
      EXPECT_TRUE(verdicts.Find(frame)->HasError()) << frame;
    EXPECT_TRUE(plan.ErrorFrames(800, 900).empty());
  }
}

TEST(ReviewVerdicts, MarksAreTheVerdictsBoxesAtTheReviewsScale) {
  const SequenceVerdicts verdicts =
      Verdicts({Truth(3, 1, 100, 60)}, {Hypothesis(3, 4, 400, 200)}, Settings({}));
  const review::ReviewPlan plan(verdicts, 0.5);
  const review::FrameMarks marks = plan.MarksOf(3);
  ASSERT_EQ(marks.truth.size(), 1u);
  EXPECT_DOUBLE_EQ(marks.truth[0].left, 50.0);
  EXPECT_DOUBLE_EQ(marks.truth[0].height, 10.0);
  EXPECT_EQ(marks.misses, std::vector<int>{0});
  EXPECT_EQ(marks.falsePositives, std::vector<int>{0});
  EXPECT_FALSE(plan.MarksOf(4).HasError());
}

}  // namespace
