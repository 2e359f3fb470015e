// A review of a noisy tracker as a lossless video: every miss, false
// positive and identity switch the evaluation counts is found painted at its
// frame, in its colour, around its box, and no error colour shows anywhere
// else.

#include <gtest/gtest.h>

#include <map>

#include "CliTestSupport.h"
#include "ReviewTestScenes.h"
#include "eval/Evaluation.h"
#include "review/Marks.h"
#include "review/Painting.h"
#include "support/TempDir.h"
#include "video/VideoReader.h"

namespace {

using cli_test::RunInProcess;
using review::PixelRect;
using review::Rgb;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kFrames = 40;
constexpr double kThreshold = 8.0;

// One error as the evaluation's own frame verdicts give it.
struct Expected {
  review::ReviewBox box;
  Rgb colour;
  std::string tag;
};

review::ReviewBox BoxOf(const cli::MotRow& row) {
  return {row.id, row.left, row.top, row.width, row.height};
}

// The errors of every frame, read from the evaluation's frame observer: the
// truth objects it leaves unmatched, the hypotheses it counts as false
// positives, and the truth objects whose match changes id.
std::map<int, std::vector<Expected>> EvaluationErrors(const review_test::Scene& scene,
                                                      EvaluationTotals& totals) {
  std::map<std::pair<int, int>, cli::MotRow> truthRows;
  std::map<std::pair<int, int>, cli::MotRow> hypothesisRows;
  std::vector<ObjectRow> truth;
  std::vector<ObjectRow> hypotheses;
  for (const cli::MotRow& row : scene.truth) {
    truthRows[{row.frame, row.id}] = row;
    truth.push_back({row.frame, {row.id, row.left + row.width / 2, row.top + row.height / 2}});
  }
  for (const cli::MotRow& row : scene.hypotheses) {
    hypothesisRows[{row.frame, row.id}] = row;
    hypotheses.push_back({row.frame, {row.id, row.left + row.width / 2, row.top + row.height / 2}});
  }
  std::map<int, std::vector<Expected>> errors;
  std::map<int, int> last;
  int switchesSeen = 0;
  const FrameObserver observe = [&](const FrameVerdict& verdict) {
    for (std::size_t t = 0; t < verdict.truth.size(); ++t) {
      const int id = verdict.truth[t].id;
      const int h = verdict.match.hypothesisOf[t];
      if (h < 0) {
        errors[verdict.frame].push_back(
            {BoxOf(truthRows[{verdict.frame, id}]), review::kMissColour, "FN"});
        continue;
      }
      const int matched = verdict.hypotheses[static_cast<std::size_t>(h)].id;
      if (last.contains(id) && last[id] != matched) {
        errors[verdict.frame].push_back(
            {BoxOf(truthRows[{verdict.frame, id}]), review::kSwitchColour,
             "IDSW " + std::to_string(last[id]) + ">" + std::to_string(matched)});
        ++switchesSeen;
      }
      last[id] = matched;
    }
    for (std::size_t h = 0; h < verdict.hypotheses.size(); ++h) {
      if (!verdict.match.matched[h] && !verdict.ignored[h])
        errors[verdict.frame].push_back(
            {BoxOf(hypothesisRows[{verdict.frame, verdict.hypotheses[h].id}]),
             review::kFalsePositiveColour, "FP"});
    }
  };
  EvaluationSettings settings;
  settings.threshold = kThreshold;
  totals = Evaluate(FrameObjects(truth), FrameObjects(hypotheses), settings, {}, observe).totals;
  EXPECT_EQ(switchesSeen, totals.idsw) << "the test reads the switches as the evaluation counts";
  return errors;
}

Rgb At(const std::vector<std::uint8_t>& rgb, std::int64_t x, std::int64_t y) {
  const std::size_t at = (static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)) * 3;
  return {rgb[at], rgb[at + 1], rgb[at + 2]};
}

PixelRect OnPicture(PixelRect rect) {
  rect.left = std::clamp<std::int64_t>(rect.left, 0, kWidth);
  rect.right = std::clamp<std::int64_t>(rect.right, 0, kWidth);
  rect.top = std::clamp<std::int64_t>(rect.top, 0, kHeight);
  rect.bottom = std::clamp<std::int64_t>(rect.bottom, 0, kHeight);
  return rect;
}

bool Inside(const PixelRect& rect, std::int64_t x, std::int64_t y) {
  return x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
}

TEST(ReviewVerdictsVideo, EveryErrorTheEvaluationCountsIsPaintedAtItsFrame) {
  const TempDir dir;
  const std::string source = dir.File("source.mkv");
  ASSERT_EQ(review_test::WriteGreyVideo(source, kWidth, kHeight, kFrames, 25), std::nullopt);
  const review_test::Scene made = review_test::NoisyTracker(kFrames, kWidth, kHeight, 14, 31);
  cli_test::WriteText(dir.File("gt.txt"), review_test::MotText(made.truth));
  cli_test::WriteText(dir.File("hyp.txt"), review_test::MotText(made.hypotheses));
  // The rows as the files hold them, numbers as written.
  review_test::Scene scene;
  ASSERT_EQ(cli::ReadMotFile(dir.File("gt.txt"), scene.truth), std::nullopt);
  ASSERT_EQ(cli::ReadMotFile(dir.File("hyp.txt"), scene.hypotheses), std::nullopt);
  EvaluationTotals totals;
  const std::map<int, std::vector<Expected>> errors = EvaluationErrors(scene, totals);
  ASSERT_GT(totals.fn, 20);
  ASSERT_GT(totals.fp, 8);
  ASSERT_GE(totals.idsw, 4);

  const auto result = RunInProcess({"review", source, dir.File("gt.txt"), dir.File("hyp.txt"),
                                    "--video", dir.File("review.mkv"), "--threshold", "8"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_NE(
      result.out.find(std::to_string(totals.fn) + " misses, " + std::to_string(totals.fp) +
                      " false positives, " + std::to_string(totals.idsw) + " identity switches"),
      std::string::npos)
      << result.out;

  video::VideoReader reader;
  ASSERT_EQ(reader.Open(dir.File("review.mkv")), std::nullopt);
  ASSERT_EQ(reader.Info().width, kWidth);
  const review::MarkSizes sizes = review::MarkSizesFor(kHeight);
  const int band = review::ErrorRingThickness(sizes);
  std::vector<std::uint8_t> rgb;
  int found = 0;
  for (int frame = 1; frame <= kFrames; ++frame) {
    SCOPED_TRACE("frame " + std::to_string(frame));
    ASSERT_TRUE(reader.ReadFrame(rgb));
    const review::Canvas picture{rgb, kWidth, kHeight};
    const auto it = errors.find(frame);
    const std::vector<Expected> none;
    const std::vector<Expected>& here = it == errors.end() ? none : it->second;
    // Where each error's colour may show: its ring and its tag.
    std::vector<std::pair<PixelRect, Rgb>> allowed;
    for (const Expected& error : here) {
      const PixelRect ring = review::ErrorRingRect(error.box, sizes);
      const PixelRect tag = review::KeptOnCanvas(
          review::LabelRect(ring.left, ring.bottom, error.tag, sizes.labelScale), picture);
      allowed.push_back({ring, error.colour});
      allowed.push_back({tag, error.colour});
      // Most of the ring's band on the picture shows the error's colour
      // (a later error's ring may cross it), and so does the tag's backing.
      const PixelRect shown = OnPicture(ring);
      const PixelRect inner = OnPicture(review::Grown(ring, -band));
      long long bandPixels = 0;
      long long coloured = 0;
      for (auto y = shown.top; y < shown.bottom; ++y) {
        for (auto x = shown.left; x < shown.right; ++x) {
          if (Inside(inner, x, y))
            continue;
          ++bandPixels;
          coloured += At(rgb, x, y) == error.colour;
        }
      }
      if (bandPixels > 0) {
        EXPECT_GT(coloured * 2, bandPixels)
            << error.tag << " at " << error.box.left << ", " << error.box.top;
      }
      EXPECT_EQ(At(rgb, tag.left, tag.top), error.colour) << error.tag;
      ++found;
    }
    // No error colour anywhere else.
    for (std::int64_t y = 0; y < kHeight; ++y) {
      for (std::int64_t x = 0; x < kWidth; ++x) {
        const Rgb c = At(rgb, x, y);
        if (c != review::kMissColour && c != review::kFalsePositiveColour &&
            c != review::kSwitchColour)
          continue;
        const bool expected = std::any_of(allowed.begin(), allowed.end(), [&](const auto& a) {
          return a.second == c && Inside(a.first, x, y);
        });
        ASSERT_TRUE(expected) << "an error colour at " << x << ", " << y;
      }
    }
  }
  EXPECT_FALSE(reader.ReadFrame(rgb));
  EXPECT_EQ(found, totals.fn + totals.fp + totals.idsw);
}

}  // namespace
