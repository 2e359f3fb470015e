// The rings painted for a tracker's hypotheses: where they fall around a
// position, and that a position at or beyond an edge paints only the part
// inside the picture and never a byte outside the buffer.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

#include "render/HypothesisOverlay.h"

namespace {

constexpr int kWidth = 320;
constexpr std::size_t kPictureBytes = std::size_t{kWidth} * 240 * 3;
constexpr std::size_t kGuardBytes = 64 * 3;
constexpr std::uint8_t kUntouched = 7;

// The picture sits between two guard zones in one allocation; the overlay is
// given the picture only.
struct GuardedPicture {
  std::vector<std::uint8_t> bytes =
      std::vector<std::uint8_t>(kPictureBytes + 2 * kGuardBytes, kUntouched);
  std::span<std::uint8_t> Picture() { return std::span(bytes).subspan(kGuardBytes, kPictureBytes); }
  bool GuardsUntouched() const {
    const auto untouched = [](std::uint8_t b) { return b == kUntouched; };
    return std::all_of(bytes.begin(), bytes.begin() + kGuardBytes, untouched) &&
           std::all_of(bytes.end() - kGuardBytes, bytes.end(), untouched);
  }
  // Picture pixel (x, y), y from the top: is it painted in `colour`?
  bool Is(int x, int y, OverlayColour colour) const {
    const std::size_t at = kGuardBytes + (static_cast<std::size_t>(239 - y) * kWidth + x) * 3;
    return bytes[at] == colour.blue && bytes[at + 1] == colour.green && bytes[at + 2] == colour.red;
  }
  int PaintedPixels() const {
    int count = 0;
    for (std::size_t at = kGuardBytes; at < kGuardBytes + kPictureBytes; at += 3)
      count +=
          bytes[at] != kUntouched || bytes[at + 1] != kUntouched || bytes[at + 2] != kUntouched;
    return count;
  }
};

HypothesisOverlay OneHypothesis(double x, double y) {
  return HypothesisOverlay(FrameObjects(std::vector<ObjectRow>{{0, {1, x, y}}}));
}

// The ring is two pixels wide right around the 10 × 10 square whose
// bottom-left pixel is the (rounded) position. At and beyond the edges only
// the part inside the picture is painted (counted by hand), nothing outside.
TEST(HypothesisOverlay, RingsAtTheEdgesAreCutOff) {
  struct Case {
    double x, y;
    int painted;
  };
  const std::vector<Case> cases = {
      {100.4, 99.6, 96},  // inside: 14 × 14 less the 10 × 10 square
      {0, 0, 26},         // rows 1-2 of the bottom band, 2 pixels of the right side
      {315, 100, 48},     // the right side and part of both bands cut off
      {100, 245, 44},     // the bottom band and part of the sides below the picture
      {-11, 100, 14},     // only the right side's outer column
      {-12, 100, 0},      // wholly to the left
      {330, -20, 0},      // beyond the right and above the top
      {318, 239, 28},     // the bottom-right corner
      {-1e9, 1e9, 0},     // far away in both directions
      {1e15, -1e15, 0},
  };
  for (const Case& c : cases) {
    GuardedPicture picture;
    OneHypothesis(c.x, c.y).Paint(picture.Picture(), kWidth, 0);
    EXPECT_EQ(picture.PaintedPixels(), c.painted) << c.x << ", " << c.y;
    EXPECT_TRUE(picture.GuardsUntouched()) << c.x << ", " << c.y;
  }
  // Another frame shows nothing of it.
  GuardedPicture other;
  OneHypothesis(100, 100).Paint(other.Picture(), kWidth, 1);
  EXPECT_EQ(other.PaintedPixels(), 0);
}

// With the truth, each frame's misses and false positives get their rings,
// matched as the evaluation matches: the hypothesis that keeps its target in
// frame 1 is no false positive, though a nearer one appears.
TEST(HypothesisOverlay, MissesAndFalsePositivesAreMarkedInTheirFrames) {
  const FrameObjects truth(
      std::vector<ObjectRow>{{0, {0, 50, 50}}, {1, {0, 50, 50}}, {2, {0, 50, 50}}});
  const FrameObjects hypotheses(std::vector<ObjectRow>{
      {0, {7, 52, 50}}, {1, {7, 52, 50}}, {1, {8, 50, 50}}, {2, {9, 150, 150}}});
  const HypothesisOverlay overlay(hypotheses, truth, 3.0, {});
  for (int frame = 0; frame < 3; ++frame) {
    GuardedPicture picture;
    overlay.Paint(picture.Picture(), kWidth, frame);
    // Frame 1: id 8 is the false positive (id 7 kept its target).
    EXPECT_EQ(picture.Is(47, 50, kFalsePositiveColour), frame == 1) << frame;
    EXPECT_EQ(picture.Is(49, 50, kHypothesisColour), frame == 1) << frame;
    EXPECT_EQ(picture.Is(47, 50, kMissColour), frame == 2) << frame;
    EXPECT_EQ(picture.Is(147, 150, kFalsePositiveColour), frame == 2) << frame;
    EXPECT_EQ(picture.Is(148, 150, kHypothesisColour), frame == 2) << frame;
  }
  // An ignored hypothesis is no false positive.
  const HypothesisOverlay ignoring(hypotheses, truth, 3.0,
                                   [](const FrameObject& h, int) { return h.x > 100; });
  GuardedPicture picture;
  ignoring.Paint(picture.Picture(), kWidth, 2);
  EXPECT_TRUE(picture.Is(148, 150, kHypothesisColour));
  EXPECT_FALSE(picture.Is(147, 150, kFalsePositiveColour));
}

}  // namespace
