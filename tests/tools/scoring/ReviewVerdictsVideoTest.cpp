// A review of a noisy tracker as a lossless video, scored as evaluate
// scores MOTChallenge truth by default (box IoU 0.5, the protocol): every
// miss, false positive and identity switch the evaluation counts is found
// painted at its frame, in its colour, around its box, and no error colour
// shows anywhere else, not even on a hypothesis the protocol removes.

#include <gtest/gtest.h>

#include <map>

#include "CliTestSupport.h"
#include "ReviewTestScenes.h"
#include "eval/BenchmarkClear.h"
#include "eval/ScoredSequence.h"
#include "review/Marks.h"
#include "review/Painting.h"
#include "scoring/MotProtocol.h"
#include "scoring/MotScoring.h"
#include "scoring/MotSequenceFile.h"
#include "support/TempDir.h"
#include "video/VideoReader.h"

namespace {

using cli_test::HasSubstr;
using cli_test::RunInProcess;
using review::PixelRect;
using review::Rgb;

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kFrames = 40;

// One error as the evaluation's own frame verdicts give it.
struct Expected {
  review::ReviewBox box;
  Rgb colour;
  std::string tag;
};

review::ReviewBox BoxOf(const BoxObject& box) {
  return {box.id, box.left, box.top, box.width, box.height};
}

// The errors of every frame as the evaluation's own frame verdicts give
// them: the rows the protocol keeps, matched by the benchmark's CLEAR
// matching; the totals from the scoring evaluate prints.
std::map<int, std::vector<Expected>> EvaluationErrors(const std::vector<MotTruthRow>& truth,
                                                      const std::vector<BoxRow>& hypotheses,
                                                      ClearCounts& totals) {
  ProtocolResult kept;
  EXPECT_EQ(ApplyMotProtocol(truth, hypotheses, kept), std::nullopt);
  const BoxFrames truthBoxes(kept.truth);
  const BoxFrames hypothesisBoxes(kept.hypotheses);
  const ScoredSequence sequence = ScoredSequence::OfBoxes(truthBoxes, hypothesisBoxes);
  std::map<int, std::vector<Expected>> errors;
  BenchmarkClear(sequence, 0.5, [&](const ClearFrameVerdict& verdict) {
    const int frame = sequence.Frame(verdict.frameIndex).frame;
    const auto truthHere = truthBoxes.InFrame(frame);
    const auto hypothesesHere = hypothesisBoxes.InFrame(frame);
    std::vector<char> taken(hypothesesHere.size(), 0);
    for (std::size_t t = 0; t < truthHere.size(); ++t) {
      const int h = verdict.hypothesisOf[t];
      if (h < 0) {
        errors[frame].push_back({BoxOf(truthHere[t]), review::kMissColour, "FN"});
        continue;
      }
      taken[static_cast<std::size_t>(h)] = 1;
      if (verdict.switchedFrom[t] >= 0) {
        const int before =
            sequence.HypothesisIds()[static_cast<std::size_t>(verdict.switchedFrom[t])];
        errors[frame].push_back(
            {BoxOf(truthHere[t]), review::kSwitchColour,
             "IDSW " + std::to_string(before) + ">" +
                 std::to_string(hypothesesHere[static_cast<std::size_t>(h)].id)});
      }
    }
    for (std::size_t h = 0; h < hypothesesHere.size(); ++h) {
      if (!taken[h])
        errors[frame].push_back({BoxOf(hypothesesHere[h]), review::kFalsePositiveColour, "FP"});
    }
  });
  MotSequenceScore score;
  MotScoringSettings settings;
  EXPECT_EQ(ScoreMotRows(truth, hypotheses, settings, score), std::nullopt);
  totals = score.result.clear;
  return errors;
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
  // A static person (class 7) where the tracker reports someone in every
  // frame: the protocol removes those hypotheses, so they show no mark.
  std::string truthText = review_test::MotText(made.truth, review_test::Side::kTruth);
  std::string trackerText = review_test::MotText(made.hypotheses, review_test::Side::kTracker);
  for (int f = 1; f <= kFrames; ++f) {
    truthText += std::to_string(f) + ",77,900,700,80,180,1,7,1\n";
    trackerText += std::to_string(f) + ",777,902,701,80,180,1,-1,-1,-1\n";
  }
  cli_test::WriteText(dir.File("gt.txt"), truthText);
  cli_test::WriteText(dir.File("hyp.txt"), trackerText);
  // The rows as the evaluation reads the files.
  std::vector<MotTruthRow> truth;
  std::vector<BoxRow> hypotheses;
  ASSERT_EQ(ReadMotTruthFile(dir.File("gt.txt"), std::nullopt, truth), std::nullopt);
  ASSERT_EQ(ReadMotBoxFile(dir.File("hyp.txt"), std::nullopt, hypotheses), std::nullopt);
  ClearCounts totals;
  const std::map<int, std::vector<Expected>> errors = EvaluationErrors(truth, hypotheses, totals);
  ASSERT_GT(totals.fn, 20);
  ASSERT_GT(totals.fp, 8);
  ASSERT_GE(totals.idsw, 4);

  const auto result = RunInProcess({"review", source, dir.File("gt.txt"), dir.File("hyp.txt"),
                                    "--video", dir.File("review.mkv")});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.out,
              HasSubstr(std::to_string(totals.fn) + " misses, " + std::to_string(totals.fp) +
                        " false positives, " + std::to_string(totals.idsw) + " identity switches"));

  video::VideoReader reader;
  ASSERT_EQ(reader.Open(dir.File("review.mkv")), std::nullopt);
  ASSERT_EQ(reader.Info().width, kWidth);
  reader.SetPixelOrder(video::PixelOrder::Bgr);  // as a canvas holds its pixels
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
          coloured += picture.At(static_cast<int>(x), static_cast<int>(y)) == error.colour;
        }
      }
      if (bandPixels > 0) {
        EXPECT_GT(coloured * 2, bandPixels)
            << error.tag << " at " << error.box.left << ", " << error.box.top;
      }
      EXPECT_EQ(picture.At(static_cast<int>(tag.left), static_cast<int>(tag.top)), error.colour)
          << error.tag;
      ++found;
    }
    // No error colour anywhere else.
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        const Rgb c = picture.At(x, y);
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
