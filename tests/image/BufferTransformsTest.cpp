// Buffer transforms: the reversal's pixel mapping, where a centred region
// lands, that nothing outside it changes, and that refused calls touch nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <span>
#include <vector>

#include "ImageTestSupport.h"
#include "image/BufferTransforms.h"

namespace {

using Bytes = std::vector<unsigned char>;
using image_test::AllAre;
using image_test::PatternBytes;

constexpr unsigned char kUntouched = 0xEE;

TEST(ReverseBuffer, ReversesPixelsAndTheirColourBytesWithinTheFrameOnly) {
  // Two pixels B0 G0 R0 B1 G1 R1, then five bytes that are not part of the frame.
  const Bytes source = {0xB0, 0x60, 0xA0, 0xB1, 0x61, 0xA1, 1, 2, 3, 4, 5};
  Bytes destination(source.size(), kUntouched);
  ReverseBuffer(destination, source, 2, 1);
  EXPECT_EQ(destination, (Bytes{0xA1, 0x61, 0xB1, 0xA0, 0x60, 0xB0, kUntouched, kUntouched,
                                kUntouched, kUntouched, kUntouched}));
}

TEST(ReverseBuffer, TurnsAFrameBy180DegreesAndTwiceGivesItBack) {
  constexpr int width = 320;
  constexpr int height = 240;
  const Bytes frame = PatternBytes(width * height * 3, 1);
  Bytes turned(frame.size());
  ReverseBuffer(turned, frame, width, height);
  EXPECT_EQ(turned[230399], frame[0]);
  EXPECT_EQ(turned[0], frame[230399]);
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      for (int byte = 0; byte < 3; ++byte) {
        const int from = (row * width + column) * 3 + byte;
        const int to = ((height - 1 - row) * width + (width - 1 - column)) * 3 + (2 - byte);
        ASSERT_EQ(turned[to], frame[from]) << "row " << row << " column " << column;
      }
    }
  }
  Bytes back(frame.size());
  ReverseBuffer(back, turned, width, height);
  EXPECT_EQ(back, frame);
}

TEST(ReverseBuffer, EmptyAndRefusedCallsCopyNothing) {
  const Bytes source = PatternBytes(48, 2);
  const struct {
    std::size_t destinationBytes, sourceBytes;
    int width, height;
  } cases[] = {
      // clang-format off
      {48, 48, 0, 4}, {48, 48, 4, 0},                        // empty
      {48, 48, -4, 4}, {48, 48, -4, -4}, {48, 48, 65536, 65536},  // sizes
      {47, 48, 4, 4}, {48, 47, 4, 4},                        // a buffer one byte short
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << ", " << c.destinationBytes
                                    << " <- " << c.sourceBytes);
    Bytes destination(48, kUntouched);
    ReverseBuffer(std::span(destination).first(c.destinationBytes),
                  std::span(source).first(c.sourceBytes), c.width, c.height);
    EXPECT_TRUE(AllAre(destination, kUntouched));
  }
  // Overlapping buffers: in place, and shifted within one buffer either way.
  Bytes shared = PatternBytes(64, 3);
  const Bytes before = shared;
  ReverseBuffer(shared, shared, 4, 4);
  ReverseBuffer(std::span(shared).subspan(1), std::span(shared).first(48), 4, 4);
  ReverseBuffer(std::span(shared).first(48), std::span(shared).subspan(16), 4, 4);
  EXPECT_EQ(shared, before);
}

TEST(CenterRegion, PlacesTheRegionByHalvedLeftoversAndChangesNothingElse) {
  const struct {
    int sourceWidth, sourceHeight, width, height;
    ImageRegion region;
    int column, row;  // where the region must land
  } cases[] = {
      // 101 x 51 into 320 x 240: leftovers 219 and 189, halved and rounded down.
      {320, 240, 320, 240, {10, 110, 20, 70}, 109, 94},
      {8, 6, 4, 3, {2, 5, 1, 3}, 0, 0},  // as large as the destination
      {5, 2, 4, 3, {1, 3, 1, 1}, 0, 1},  // the odd column falls after the region
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "into " << c.width << " x " << c.height);
    const Bytes source = PatternBytes(c.sourceWidth * c.sourceHeight * 3, 4);
    Bytes destination(c.width * c.height * 3, kUntouched);
    const ImageRegion& r = c.region;
    CenterRegion(source, c.sourceWidth, c.sourceHeight, destination, c.width, c.height, &r);
    for (int row = 0; row < c.height; ++row) {
      for (int column = 0; column < c.width; ++column) {
        const int dx = column - c.column;
        const int dy = row - c.row;
        const bool placed = dx >= 0 && dx <= r.xMax - r.xMin && dy >= 0 && dy <= r.yMax - r.yMin;
        for (int byte = 0; byte < 3; ++byte) {
          const int from = ((r.yMin + dy) * c.sourceWidth + r.xMin + dx) * 3 + byte;
          ASSERT_EQ(destination[(row * c.width + column) * 3 + byte],
                    placed ? source[from] : kUntouched)
              << "row " << row << " column " << column;
        }
      }
    }
  }
}

TEST(CenterRegion, NullEmptyAndRefusedRegionsCopyNothing) {
  const Bytes source = PatternBytes(6 * 5 * 3, 6);
  const struct {
    ImageRegion region;
    int destinationWidth = 4, destinationHeight = 4;
  } cases[] = {
      // clang-format off
      {{3, 2, 0, 1}}, {{0, 1, 3, 2}},                      // xMax < xMin, yMax < yMin
      {{-1, 1, 0, 1}}, {{4, 6, 0, 1}}, {{0, 1, -1, 1}}, {{0, 1, 3, 5}},  // outside the source
      {{INT_MIN, INT_MAX, 0, 1}},
      {{0, 4, 0, 1}}, {{0, 1, 0, 4}},                      // larger than the destination
      {{0, 1, 0, 1}, -4, 4}, {{0, 1, 0, 1}, 4, -4},        // negative destination sizes
      // clang-format on
  };
  Bytes destination(4 * 4 * 3, kUntouched);
  for (const auto& c : cases) {
    const ImageRegion& r = c.region;
    CenterRegion(source, 6, 5, destination, c.destinationWidth, c.destinationHeight, &r);
    EXPECT_TRUE(AllAre(destination, kUntouched))
        << r.xMin << ".." << r.xMax << " x " << r.yMin << ".." << r.yMax << " into "
        << c.destinationWidth << " x " << c.destinationHeight;
  }
  const ImageRegion fits{0, 1, 0, 1};
  CenterRegion(source, 6, 5, destination, 4, 4, nullptr);
  CenterRegion(source, -6, 5, destination, 4, 4, &fits);
  CenterRegion(std::span(source).first(source.size() - 1), 6, 5, destination, 4, 4, &fits);
  CenterRegion(source, 6, 5, std::span(destination).first(47), 4, 4, &fits);
  EXPECT_TRUE(AllAre(destination, kUntouched));

  // Source and destination sharing bytes.
  Bytes shared = PatternBytes(4 * 4 * 3 * 2, 7);
  const Bytes before = shared;
  CenterRegion(shared, 4, 4, shared, 4, 4, &fits);
  CenterRegion(std::span(shared).first(48), 4, 4, std::span(shared).subspan(47), 4, 4, &fits);
  EXPECT_EQ(shared, before);
}

}  // namespace
