// The geometry of an import: the plan for each picture size and mode, the
// frame it composes agreeing with the mapping it records, and the .geometry
// file read back exactly or refused with the line at fault.

#include <gtest/gtest.h>

#include <cmath>

#include "geometry/GeometryFile.h"
#include "geometry/ImportGeometry.h"
#include "import/FrameCompose.h"
#include "import/ImageDecode.h"

using namespace cli;

namespace {

struct PlanCase {
  FitMode mode;
  int width, height;
  PixelRect crop;
  int scaledWidth, scaledHeight, offsetX, offsetY;
};

// Every plan, composed from a picture whose pixels name their own
// coordinates, puts each source pixel where SourceToFrame says.
TEST(ImportGeometry, PlansPlaceEverySourcePixelWhereTheMappingSays) {
  const std::vector<PlanCase> cases = {
      {FitMode::Fit, 1920, 1080, {}, 320, 180, 0, 30},
      {FitMode::Fit, 1, 1, {}, 240, 240, 40, 0},
      // An odd leftover row falls above the picture, as CenterRegion puts it.
      {FitMode::Fit, 321, 7, {}, 320, 7, 0, 117},
      {FitMode::Fit, 4000, 10, {}, 320, 1, 0, 120},
      {FitMode::Fit, 10, 4000, {}, 1, 240, 159, 0},
      {FitMode::Center, 100, 51, {}, 100, 51, 110, 95},
      {FitMode::Center, 641, 481, {}, 641, 481, -160, -120},
      {FitMode::Center, 4000, 10, {}, 4000, 10, -1840, 115},
      {FitMode::Crop, 1920, 1080, {960, 540, 960, 540}, 320, 180, 0, 30},
      {FitMode::Crop, 200, 100, {10, 20, 30, 60}, 120, 240, 100, 0},
  };
  for (const PlanCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
    FrameGeometry g;
    ASSERT_EQ(PlanGeometry(c.mode, c.width, c.height, c.crop, g), std::nullopt);
    EXPECT_EQ(g.scaledWidth, c.scaledWidth);
    EXPECT_EQ(g.scaledHeight, c.scaledHeight);
    EXPECT_EQ(g.offsetX, c.offsetX);
    EXPECT_EQ(g.offsetY, c.offsetY);

    // The shown part as a decoder hands it over: red and green give the
    // column and row within the scaled crop (low bytes), blue is 200.
    const PixelRect part = ShownPart(g);
    RgbImage shown{part.width, part.height, {}};
    for (int y = 0; y < part.height; ++y) {
      for (int x = 0; x < part.width; ++x) {
        shown.pixels.push_back(static_cast<std::uint8_t>(part.x + x));
        shown.pixels.push_back(static_cast<std::uint8_t>(part.y + y));
        shown.pixels.push_back(200);
      }
    }
    std::vector<std::uint8_t> frame(kFrameBytes, 7), scratch;
    ASSERT_TRUE(ComposeFrame(shown.View(), g, frame, scratch));
    int placed = 0;
    for (int y = 0; y < kFrameHeight; ++y) {
      for (int x = 0; x < kFrameWidth; ++x) {
        const std::uint8_t* bgr = &frame[((239 - y) * 320 + x) * 3];
        // The scaled crop's pixel at this frame pixel, and back to the source.
        const int sx = x - g.offsetX;
        const int sy = y - g.offsetY;
        const bool inside = sx >= 0 && sy >= 0 && sx < g.scaledWidth && sy < g.scaledHeight;
        if (!inside) {
          ASSERT_EQ(bgr[0] + bgr[1] + bgr[2], 0) << x << ", " << y;
          continue;
        }
        ++placed;
        ASSERT_EQ(bgr[0], 200) << x << ", " << y;
        ASSERT_EQ(bgr[1], static_cast<std::uint8_t>(sy)) << x << ", " << y;
        ASSERT_EQ(bgr[2], static_cast<std::uint8_t>(sx)) << x << ", " << y;
        const Point source = FrameToSource(g, {x + 0.5, y + 0.5});
        const Point back = SourceToFrame(g, source);
        ASSERT_NEAR(back.x, x + 0.5, 1e-9);
        ASSERT_NEAR(back.y, y + 0.5, 1e-9);
        ASSERT_GE(source.x, g.crop.x);
        ASSERT_LT(source.x, g.crop.x + g.crop.width);
      }
    }
    EXPECT_EQ(placed, part.width * part.height);
  }
}

TEST(ImportGeometry, PicturesAndCropsItCannotPlanAreRefused) {
  FrameGeometry g;
  EXPECT_NE(PlanGeometry(FitMode::Fit, 0, 10, {}, g), std::nullopt);
  EXPECT_NE(PlanGeometry(FitMode::Center, 10, -1, {}, g), std::nullopt);
  for (const PixelRect crop : {PixelRect{0, 0, 0, 5}, PixelRect{-1, 0, 5, 5}, PixelRect{6, 0, 5, 5},
                               PixelRect{0, 1, 10, 10}, PixelRect{INT32_MAX, 0, 2, 2}}) {
    EXPECT_NE(PlanGeometry(FitMode::Crop, 10, 10, crop, g), std::nullopt)
        << crop.x << "," << crop.y << "," << crop.width << "," << crop.height;
  }
  // A view whose rows would run past its buffer is not composed.
  ASSERT_EQ(PlanGeometry(FitMode::Center, 4, 4, {}, g), std::nullopt);
  const std::vector<std::uint8_t> pixels(4 * 4 * 3 - 1);
  std::vector<std::uint8_t> frame(kFrameBytes, 9), scratch;
  EXPECT_FALSE(ComposeFrame({pixels, 4, 4, 12}, g, frame, scratch));
  EXPECT_EQ(frame[0], 9);
}

TEST(ImportGeometry, NumbersMapBothWaysWithoutOverflow) {
  FrameGeometry g;
  g.firstFrame = 5;
  g.firstSource = 1;
  EXPECT_EQ(SourceToFrameNumber(g, 1), 5);
  EXPECT_EQ(FrameToSourceNumber(g, 499), 495);
  EXPECT_EQ(SourceToFrameNumber(g, INT32_MAX), std::nullopt);
  EXPECT_EQ(FrameToSourceNumber(g, INT32_MIN), std::nullopt);
}

TEST(GeometryFile, WrittenTextReadsBackTheSameGeometry) {
  FrameGeometry g;
  g.firstFrame = 3;
  g.firstSource = 17;
  ASSERT_EQ(PlanGeometry(FitMode::Crop, 1920, 1080, {7, 9, 1001, 333}, g), std::nullopt);
  FrameGeometry read;
  ASSERT_EQ(ParseGeometryText(GeometryText(g), "g", read), std::nullopt);
  EXPECT_EQ(read, g);
}

TEST(GeometryFile, ABadFileIsRefusedNamingTheLine) {
  FrameGeometry tiny;
  tiny.sourceWidth = tiny.sourceHeight = tiny.scaledWidth = tiny.scaledHeight = 1;
  tiny.crop = {0, 0, 1, 1};
  const std::string good = GeometryText(tiny);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {good + "offset 1 1\n", "g:14: 'offset' is given twice"},
      {good + "rotate 90\n", "g:14: unknown field 'rotate'"},
      {"source 0 5\n", "g:1: 'source' takes WIDTH HEIGHT, integers of at least 1"},
      {"scale nan 1\n", "g:1: 'scale' takes X Y, numbers above 0"},
      {"scale 1 -2\n", "g:1: 'scale' takes X Y, numbers above 0"},
      {"crop 0 0 5\n", "g:1: 'crop' takes X Y WIDTH HEIGHT, integers, sizes of at least 1"},
      {"first_frame 99999999999\n", "g:1: 'first_frame' takes one integer"},
      {"source 4 4\n", "g: the field 'crop' is missing"},
  };
  for (const auto& [text, message] : cases) {
    FrameGeometry read;
    EXPECT_EQ(ParseGeometryText(text, "g", read), message) << text;
  }
  std::string outside = good;
  outside.replace(outside.find("crop 0 0"), 8, "crop 1 0");
  FrameGeometry read;
  EXPECT_EQ(ParseGeometryText(outside, "g", read),
            "g: the crop rectangle does not lie inside the source");
}

}  // namespace
