// The frames an errors-only review keeps: each error with its context,
// overlapping and touching spans joined, cut to the reviewed frames.

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <set>

#include "review/KeptSpans.h"

namespace {

using review::FrameSpan;
using review::KeptSpans;

TEST(KeptSpans, ErrorsWithTheirContextJoinWhereTheyMeet) {
  const std::vector<int> errors{10, 14, 30, 41, 52};
  // 10±3 and 14±3 overlap; the others stand apart.
  EXPECT_EQ(KeptSpans(errors, 1, 100, 3),
            (std::vector<FrameSpan>{{7, 17}, {27, 33}, {38, 44}, {49, 55}}));
  // With 4 frames 34 | 37 and 45 | 48 still leave frames out between them;
  // with 5, 35 | 36 and 46 | 47 touch and join.
  EXPECT_EQ(KeptSpans(errors, 1, 100, 4),
            (std::vector<FrameSpan>{{6, 18}, {26, 34}, {37, 45}, {48, 56}}));
  EXPECT_EQ(KeptSpans(errors, 1, 100, 5), (std::vector<FrameSpan>{{5, 19}, {25, 57}}));
}

TEST(KeptSpans, SpansAreCutToTheReviewedFramesAndErrorsOutsideThemPassedOver) {
  const std::vector<int> errors{-5, 1, 2, 99, 100, 140};
  EXPECT_EQ(KeptSpans(errors, 1, 100, 10), (std::vector<FrameSpan>{{1, 12}, {89, 100}}));
  EXPECT_TRUE(KeptSpans(errors, 200, 300, 10).empty());
  EXPECT_TRUE(KeptSpans({}, 1, 100, 10).empty());
  // No context keeps the error frames alone; frames at the ends of int
  // range do not overflow.
  EXPECT_EQ(KeptSpans(std::vector<int>{3, 4, 9}, 0, 10, 0),
            (std::vector<FrameSpan>{{3, 4}, {9, 9}}));
  EXPECT_EQ(KeptSpans(std::vector<int>{INT_MIN, INT_MAX}, INT_MIN, INT_MAX, 25),
            (std::vector<FrameSpan>{{INT_MIN, INT_MIN + 25}, {INT_MAX - 25, INT_MAX}}));
}

TEST(KeptSpans, TheKeptFramesAreExactlyThoseWithinContextOfAnError) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 200; ++trial) {
    const int context = trial % 7;
    std::set<int> errorSet;
    for (int i = 0; i < trial % 20; ++i)
      errorSet.insert(static_cast<int>(random() % 300));
    const std::vector<int> errors(errorSet.begin(), errorSet.end());
    const std::vector<FrameSpan> spans = KeptSpans(errors, 20, 280, context);
    const std::vector<int> kept = review::FramesOf(spans);
    std::vector<int> expected;
    for (int frame = 20; frame <= 280; ++frame) {
      for (const int error : errors) {
        if (error >= 20 && error <= 280 && std::abs(frame - error) <= context) {
          expected.push_back(frame);
          break;
        }
      }
    }
    ASSERT_EQ(kept, expected) << trial;
    for (std::size_t i = 1; i < spans.size(); ++i)
      ASSERT_GT(spans[i].first, spans[i - 1].last + 1) << "spans that touch are one";
  }
}

TEST(KeptSpans, TheContextIsOneSecondOfFrames) {
  EXPECT_EQ(review::ContextFrames(30.0), 30);
  EXPECT_EQ(review::ContextFrames(30000.0 / 1001.0), 30);
  EXPECT_EQ(review::ContextFrames(12.5), 13);
  EXPECT_EQ(review::ContextFrames(0.0), 1);
  EXPECT_EQ(review::ContextFrames(-4.0), 1);
}

}  // namespace
