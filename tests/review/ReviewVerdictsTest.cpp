// The frame verdicts a review paints, taken from the evaluation as it
// counts: which truth objects are missed, which hypotheses are false
// positives, which matches are identity switches and from which id, the
// pairs the identity metrics count, and captions whose last scores are the
// evaluation's own.

#include <gtest/gtest.h>

#include <random>

#include "review/ReviewPlan.h"
#include "review/ReviewVerdicts.h"

namespace {

using review::FrameVerdicts;
using review::SequenceVerdicts;

cli::MotRow Row(int frame, int id, double left, double top, int line = 0) {
  cli::MotRow row;
  row.frame = frame;
  row.id = id;
  row.left = left;
  row.top = top;
  row.width = 10;
  row.height = 20;
  row.line = line;
  return row;
}

SequenceVerdicts Verdicts(const std::vector<cli::MotRow>& truth,
                          const std::vector<cli::MotRow>& hypotheses, double threshold) {
  SequenceVerdicts verdicts;
  const auto problem = review::EvaluateForReview(truth, hypotheses, {threshold}, verdicts);
  EXPECT_FALSE(problem) << problem->what;
  return verdicts;
}

TEST(ReviewVerdicts, EachErrorIsNamedAtItsFrame) {
  // Truth 1 followed by hypothesis 7, then 8 while 7 is away, then 7 again:
  // two switches, 7>8 and 8>7. Truth 2 is missed at frame 2; hypothesis 9
  // lies within reach of truth 1 at frame 1 but is left over: a false
  // positive whose pair the identity metrics still count.
  const std::vector<cli::MotRow> truth{Row(1, 1, 100, 100), Row(1, 2, 300, 100),
                                       Row(2, 1, 102, 100), Row(2, 2, 302, 100),
                                       Row(3, 1, 104, 100), Row(4, 1, 106, 100)};
  const std::vector<cli::MotRow> hypotheses{
      Row(1, 7, 100, 101), Row(1, 9, 103, 100), Row(1, 5, 301, 100), Row(2, 7, 102, 100),
      Row(3, 8, 104, 100), Row(4, 7, 106, 100), Row(4, 8, 600, 600)};
  const SequenceVerdicts verdicts = Verdicts(truth, hypotheses, 5.0);
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

TEST(ReviewVerdicts, TheLastCaptionGivesTheEvaluationsScores) {
  std::mt19937 random(99);
  std::vector<cli::MotRow> truth;
  std::vector<cli::MotRow> hypotheses;
  for (int f = 0; f < 120; ++f) {
    for (int t = 0; t < 8; ++t) {
      truth.push_back(Row(f, t, 40.0 * t + f, 50.0 + t));
      if (random() % 9 != 0)
        hypotheses.push_back(Row(f, static_cast<int>(random() % 3 == 0 ? 50 + t : 20 + t),
                                 40.0 * t + f + static_cast<double>(random() % 5), 50.0 + t));
    }
    if (random() % 4 == 0)
      hypotheses.push_back(Row(f, 99, 500, 500));
  }
  const SequenceVerdicts verdicts = Verdicts(truth, hypotheses, 3.0);
  ASSERT_GT(verdicts.switches, 5);
  const review::ReviewPlan plan(verdicts, 1.0);
  const review::CaptionFigures last = plan.CaptionOf(119);
  ASSERT_TRUE(last.mota && last.idf1);
  EXPECT_DOUBLE_EQ(*last.mota, *verdicts.mota);
  EXPECT_DOUBLE_EQ(*last.idf1, *verdicts.idf1);
  // Frames after the last with objects keep its scores, without its errors.
  const review::CaptionFigures later = plan.CaptionOf(400);
  EXPECT_EQ(later.frame, 400);
  EXPECT_EQ(later.mota, last.mota);
  EXPECT_EQ(later.misses + later.falsePositives + later.switches, 0);
  EXPECT_FALSE(plan.CaptionOf(-3).mota) << "before the first frame nothing is scored";
  // The error frames are those with a verdict that holds an error.
  for (const int frame : plan.ErrorFrames(0, 119))
    EXPECT_TRUE(verdicts.Find(frame)->HasError()) << frame;
  EXPECT_TRUE(plan.ErrorFrames(200, 300).empty());
}

TEST(ReviewVerdicts, MarksAreTheVerdictsBoxesAtTheReviewsScale) {
  const SequenceVerdicts verdicts = Verdicts({Row(3, 1, 100, 60)}, {Row(3, 4, 400, 200)}, 5.0);
  const review::ReviewPlan plan(verdicts, 0.5);
  const review::FrameMarks marks = plan.MarksOf(3);
  ASSERT_EQ(marks.truth.size(), 1u);
  EXPECT_DOUBLE_EQ(marks.truth[0].left, 50.0);
  EXPECT_DOUBLE_EQ(marks.truth[0].height, 10.0);
  EXPECT_EQ(marks.misses, std::vector<int>{0});
  EXPECT_EQ(marks.falsePositives, std::vector<int>{0});
  EXPECT_FALSE(plan.MarksOf(4).HasError());
}

TEST(ReviewVerdicts, RowsTheEvaluationCannotTakeAreNamedByLine) {
  using Rows = std::vector<cli::MotRow>;
  SequenceVerdicts verdicts;
  const auto late = review::EvaluateForReview(
      Rows{Row(1, 1, 0, 0, 1), Row(review::LastScoredFrame() + 1, 1, 0, 0, 2)}, Rows{}, {5.0},
      verdicts);
  ASSERT_TRUE(late);
  EXPECT_FALSE(late->inHypotheses);
  EXPECT_EQ(late->line, 2);
  const auto twice = review::EvaluateForReview(
      Rows{Row(1, 1, 0, 0, 1)}, Rows{Row(2, 3, 0, 0, 1), Row(1, 3, 0, 0, 2), Row(2, 3, 5, 5, 3)},
      {5.0}, verdicts);
  ASSERT_TRUE(twice);
  EXPECT_TRUE(twice->inHypotheses);
  EXPECT_EQ(twice->line, 3);
  EXPECT_EQ(twice->what, "id 3 appears twice in frame 2");
  const auto negative =
      review::EvaluateForReview(Rows{Row(-1, 1, 0, 0, 7)}, Rows{}, {5.0}, verdicts);
  ASSERT_TRUE(negative);
  EXPECT_EQ(negative->line, 7);
}

}  // namespace
