// The marks of a review frame: each kind of error is painted in its own
// colour, in its own place around the box it marks, with a tag that stays
// on the picture; hypothesis colours never pass for an error's; a frame
// without errors shows none of the error colours.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "review/Marks.h"

namespace {

using review::Canvas;
using review::FrameMarks;
using review::MarkSizes;
using review::Picture;
using review::PixelRect;
using review::ReviewBox;
using review::Rgb;

constexpr Rgb kErrorColours[] = {review::kMissColour, review::kFalsePositiveColour,
                                 review::kSwitchColour};
// A mid-grey picture: none of the marks' colours.
constexpr Rgb kGrey{128, 128, 128};

double ColourDistance(Rgb a, Rgb b) {
  const double r = a.red - b.red;
  const double g = a.green - b.green;
  const double bl = a.blue - b.blue;
  return std::sqrt(r * r + g * g + bl * bl);
}

// The pixels of `colour` in `area`, cut to the canvas.
int CountOf(const Canvas& canvas, Rgb colour, PixelRect area = {0, 0, 1 << 20, 1 << 20}) {
  area.right = std::min<std::int64_t>(area.right, canvas.width);
  area.bottom = std::min<std::int64_t>(area.bottom, canvas.Rows());
  int count = 0;
  for (auto y = std::max<std::int64_t>(area.top, 0); y < area.bottom; ++y) {
    for (auto x = std::max<std::int64_t>(area.left, 0); x < area.right; ++x)
      count += canvas.At(static_cast<int>(x), static_cast<int>(y)) == colour;
  }
  return count;
}

// One truth box and one hypothesis box on it, at 1080 rows.
FrameMarks OnePair() {
  FrameMarks marks;
  marks.truth.push_back({3, 400.0, 300.0, 80.0, 200.0});
  marks.hypotheses.push_back({17, 404.0, 296.0, 80.0, 204.0});
  return marks;
}

TEST(Marks, HypothesisColoursAreFarFromTheMarksColoursAndFromEachOther) {
  const auto palette = review::HypothesisPalette();
  ASSERT_GE(palette.size(), 8u);
  for (std::size_t i = 0; i < palette.size(); ++i) {
    for (const Rgb reserved : {review::kTruthColour, review::kBackingColour, review::kMissColour,
                               review::kFalsePositiveColour, review::kSwitchColour})
      EXPECT_GE(ColourDistance(palette[i], reserved), 100.0) << "palette colour " << i;
    for (std::size_t j = 0; j < i; ++j)
      EXPECT_GE(ColourDistance(palette[i], palette[j]), 50.0) << i << " and " << j;
  }
  // The same id always gets the same colour, neighbouring ids different ones,
  // negative ids one of the palette's.
  EXPECT_EQ(review::HypothesisColour(5), review::HypothesisColour(5 + int(palette.size())));
  for (int id = -30; id < 30; ++id) {
    EXPECT_NE(review::HypothesisColour(id), review::HypothesisColour(id + 1)) << id;
    EXPECT_NE(std::find(palette.begin(), palette.end(), review::HypothesisColour(id)),
              palette.end());
  }
}

TEST(Marks, AFrameWithoutErrorsShowsNoErrorColour) {
  Picture picture(1920, 1080, kGrey);
  const FrameMarks marks = OnePair();
  EXPECT_FALSE(marks.HasError());
  const MarkSizes sizes = review::MarkSizesFor(1080);
  review::PaintMarks(picture.View(), marks, sizes);
  for (const Rgb colour : kErrorColours)
    EXPECT_EQ(CountOf(picture.View(), colour), 0);
  // Truth's ring lies inside its box, the hypothesis ring just outside its own.
  const PixelRect truth = review::BoxRect(marks.truth[0], sizes);
  EXPECT_EQ(picture.View().At(static_cast<int>(truth.right) - 1, 400), review::kTruthColour);
  const PixelRect hypothesis = review::BoxRect(marks.hypotheses[0], sizes);
  EXPECT_EQ(picture.View().At(static_cast<int>(hypothesis.right), 400),
            review::HypothesisColour(17));
}

TEST(Marks, EachErrorIsARingOfItsOwnColourAroundTheBoxItMarks) {
  const MarkSizes sizes = review::MarkSizesFor(1080);
  struct Case {
    const char* name;
    Rgb colour;
    FrameMarks marks;
    ReviewBox marked;
  };
  FrameMarks miss = OnePair();
  miss.misses = {0};
  FrameMarks falsePositive = OnePair();
  falsePositive.falsePositives = {0};
  FrameMarks change = OnePair();
  change.switches = {{0, 0, 9}};
  for (const Case& c : {Case{"miss", review::kMissColour, miss, miss.truth[0]},
                        Case{"false positive", review::kFalsePositiveColour, falsePositive,
                             falsePositive.hypotheses[0]},
                        Case{"switch", review::kSwitchColour, change, change.truth[0]}}) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(c.marks.HasError());
    Picture picture(1920, 1080, kGrey);
    const Canvas canvas = picture.View();
    review::PaintMarks(canvas, c.marks, sizes);
    // The whole band of the ring, and nothing of the other errors' colours.
    const PixelRect ring = review::ErrorRingRect(c.marked, sizes);
    const int band = review::ErrorRingThickness(sizes);
    const auto perimeter = 2 * (ring.Width() + ring.Height()) * band - 4 * band * band;
    EXPECT_EQ(CountOf(canvas, c.colour, {ring.left, ring.top, ring.right, ring.top + band}),
              ring.Width() * band);
    const int inRing =
        CountOf(canvas, c.colour, ring) - CountOf(canvas, c.colour, review::Grown(ring, -band));
    EXPECT_EQ(inRing, perimeter);
    for (const Rgb other : kErrorColours) {
      if (other != c.colour) {
        EXPECT_EQ(CountOf(canvas, other), 0);
      }
    }
    // The tag hangs under the ring: its backing is the error's colour.
    EXPECT_GT(CountOf(canvas, c.colour, {ring.left, ring.bottom, ring.right, ring.bottom + 40}),
              100);
  }
}

TEST(Marks, ErrorsBeyondThePicturesEdgeStillShowTheirTags) {
  const MarkSizes sizes = review::MarkSizesFor(480);
  FrameMarks marks;
  // A truth box wholly to the right, one wholly above, a hypothesis far
  // below-left: each error's tag is moved onto the picture.
  marks.truth = {{1, 700.0, 100.0, 40.0, 90.0}, {2, 100.0, -300.0, 40.0, 90.0}};
  marks.hypotheses = {{5, -900.0, 2000.0, 40.0, 90.0}};
  marks.misses = {0, 1};
  marks.falsePositives = {0};
  Picture picture(640, 480, kGrey);
  review::PaintMarks(picture.View(), marks, sizes);
  EXPECT_GT(CountOf(picture.View(), review::kMissColour, {600, 0, 640, 480}), 20);
  EXPECT_GT(CountOf(picture.View(), review::kMissColour, {0, 0, 600, 40}), 20);
  EXPECT_GT(CountOf(picture.View(), review::kFalsePositiveColour, {0, 440, 100, 480}), 20);
}

TEST(Marks, PointsAreMarkedAndBadIndicesArePassedOver) {
  const MarkSizes sizes = review::MarkSizesFor(240);
  FrameMarks marks;
  marks.truth = {{1, 50.0, 60.0, 0.0, 0.0}};
  marks.hypotheses = {{2, 120.0, 80.0, 0.0, 0.0}};
  marks.misses = {0, 5, -1};
  marks.falsePositives = {0, 1};
  marks.switches = {{0, 3, 7}, {4, 0, 7}};
  Picture picture(320, 240, kGrey);
  const Canvas canvas = picture.View();
  review::PaintMarks(canvas, marks, sizes);
  EXPECT_EQ(canvas.At(50, 60), review::kTruthColour);
  EXPECT_EQ(canvas.At(53, 60), review::kTruthColour);
  EXPECT_EQ(CountOf(canvas, review::kSwitchColour), 0);
  const PixelRect missRing = review::ErrorRingRect(marks.truth[0], sizes);
  EXPECT_EQ(canvas.At(static_cast<int>(missRing.left), 60), review::kMissColour);
  EXPECT_GT(CountOf(canvas, review::kFalsePositiveColour), 0);
}

TEST(Marks, TextIsReadableOnA1080RowPictureAndNoSmallerThanOneDotOnATinyOne) {
  // A capital is 7 dots tall.
  const MarkSizes hd = review::MarkSizesFor(1080);
  EXPECT_GE(7 * hd.captionScale, 20);
  EXPECT_GE(7 * hd.labelScale, 14);
  EXPECT_GE(hd.line, 2);
  const MarkSizes tiny = review::MarkSizesFor(0);
  EXPECT_EQ(tiny.line, 1);
  EXPECT_EQ(tiny.labelScale, 1);
}

}  // namespace
