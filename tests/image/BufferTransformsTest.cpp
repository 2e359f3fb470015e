// Buffer transforms: the reversal's pixel mapping, where a centred region
// lands, that nothing outside it changes, and that refused calls touch nothing.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "image/BufferTransforms.h"

namespace {

constexpr unsigned char UNTOUCHED = 0xEE;

std::vector<unsigned char> PatternBytes(std::size_t count, unsigned seed) {
  std::vector<unsigned char> bytes(count);
  std::uint32_t state = seed * 2654435761u + 1;
  for (auto& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<unsigned char>(state >> 24);
  }
  return bytes;
}

bool AllUntouched(const std::vector<unsigned char>& bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](auto b) { return b == UNTOUCHED; });
}

TEST(ReverseBuffer, SwapsPixelsAndTheirColourBytes) {
  const std::vector<unsigned char> source = {0xB0, 0x60, 0xA0, 0xB1, 0x61, 0xA1};
  std::vector<unsigned char> destination(6);

  ReverseBuffer(destination, source, 2, 1);

  EXPECT_EQ(destination, (std::vector<unsigned char>{0xA1, 0x61, 0xB1, 0xA0, 0x60, 0xB0}));
}

TEST(ReverseBuffer, TurnsAFrameBy180DegreesAndTwiceGivesItBack) {
  constexpr int width = 320;
  constexpr int height = 240;
  const std::vector<unsigned char> frame = PatternBytes(width * height * 3, 1);
  std::vector<unsigned char> turned(frame.size());

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

  std::vector<unsigned char> back(frame.size());
  ReverseBuffer(back, turned, width, height);
  EXPECT_EQ(back, frame);
}

TEST(ReverseBuffer, WritesOnlyTheFrameBytes) {
  const std::vector<unsigned char> source = PatternBytes(3 * 2 * 3 + 5, 2);
  std::vector<unsigned char> destination(source.size(), UNTOUCHED);

  ReverseBuffer(destination, source, 3, 2);

  // The frame is the first 18 source bytes; the 5 after them are not part of it.
  EXPECT_EQ(destination[0], source[17]);
  EXPECT_EQ(destination[17], source[0]);
  EXPECT_TRUE(std::all_of(destination.begin() + 18, destination.end(),
                          [](auto b) { return b == UNTOUCHED; }));
}

TEST(ReverseBuffer, EmptyAndRefusedCallsCopyNothing) {
  std::vector<unsigned char> shared = PatternBytes(64, 3);
  const std::vector<unsigned char> sharedBefore = shared;
  const std::vector<unsigned char> source = PatternBytes(48, 4);
  const struct {
    const char* what;
    std::size_t destinationBytes;
    std::size_t sourceBytes;
    int width;
    int height;
  } cases[] = {
      {"zero width", 48, 48, 0, 4},
      {"zero height", 48, 48, 4, 0},
      {"negative width", 48, 48, -4, 4},
      {"both negative", 48, 48, -4, -4},
      {"count beyond 32 bits", 48, 48, 65536, 65536},
      {"destination one byte short", 47, 48, 4, 4},
      {"source one byte short", 48, 47, 4, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<unsigned char> destination(48, UNTOUCHED);
    ReverseBuffer(std::span(destination.data(), c.destinationBytes),
                  std::span(source.data(), c.sourceBytes), c.width, c.height);
    EXPECT_TRUE(AllUntouched(destination));
  }

  // In place, and shifted by one byte within one buffer.
  ReverseBuffer(shared, shared, 4, 4);
  ReverseBuffer(std::span(shared).subspan(1), std::span(shared).first(48), 4, 4);
  ReverseBuffer(std::span(shared).first(48), std::span(shared).subspan(16), 4, 4);
  EXPECT_EQ(shared, sharedBefore);
}

// Source 320 x 240; the 101 x 51 region at column 10, row 20 goes to column
// 109, row 94 of a 320 x 240 destination.
TEST(CenterRegion, AnOddLeftoverFallsAfterTheRegion) {
  constexpr int width = 320;
  constexpr int height = 240;
  const std::vector<unsigned char> source = PatternBytes(width * height * 3, 5);
  std::vector<unsigned char> destination(source.size(), UNTOUCHED);
  const ImageRegion region{10, 110, 20, 70};

  CenterRegion(source, width, height, destination, width, height, &region);

  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      const bool placed = column >= 109 && column < 210 && row >= 94 && row < 145;
      for (int byte = 0; byte < 3; ++byte) {
        const unsigned char got = destination[(row * width + column) * 3 + byte];
        const unsigned char want =
            placed ? source[((row - 94 + 20) * width + (column - 109 + 10)) * 3 + byte] : UNTOUCHED;
        ASSERT_EQ(got, want) << "row " << row << " column " << column;
      }
    }
  }
}

// A 3 x 1 region in a 4 x 3 destination: column offset 0.5 truncates to 0, so
// the spare column is on the right; row offset 1.
TEST(CenterRegion, PlacesASmallRegionByTruncatedHalves) {
  std::vector<unsigned char> source(5 * 2 * 3);
  for (std::size_t i = 0; i < source.size(); ++i) {
    source[i] = static_cast<unsigned char>(i);
  }
  std::vector<unsigned char> destination(4 * 3 * 3, 0);
  const ImageRegion region{1, 3, 1, 1};

  CenterRegion(source, 5, 2, destination, 4, 3, &region);

  const std::vector<unsigned char> expected = {
      0,  0,  0,  0,  0,  0,  0,  0,  0,  0, 0, 0,  // row 0
      18, 19, 20, 21, 22, 23, 24, 25, 26, 0, 0, 0,  // row 1
      0,  0,  0,  0,  0,  0,  0,  0,  0,  0, 0, 0,  // row 2
  };
  EXPECT_EQ(destination, expected);
}

TEST(CenterRegion, ARegionAsLargeAsTheDestinationFillsItFromRowZero) {
  const std::vector<unsigned char> source = PatternBytes(8 * 6 * 3, 6);
  std::vector<unsigned char> destination(4 * 3 * 3, UNTOUCHED);
  const ImageRegion region{2, 5, 1, 3};

  CenterRegion(source, 8, 6, destination, 4, 3, &region);

  for (int row = 0; row < 3; ++row) {
    const auto from = source.begin() + ((row + 1) * 8 + 2) * 3;
    EXPECT_TRUE(std::equal(from, from + 12, destination.begin() + row * 12)) << "row " << row;
  }
}

TEST(CenterRegion, NullEmptyAndRefusedRegionsCopyNothing) {
  const std::vector<unsigned char> source = PatternBytes(6 * 5 * 3, 7);
  const struct {
    const char* what;
    ImageRegion region;
    int destinationWidth = 4;
    int destinationHeight = 4;
  } cases[] = {
      {"xMax before xMin", {3, 2, 0, 1}},
      {"yMax before yMin", {0, 1, 3, 2}},
      {"left of the source", {-1, 1, 0, 1}},
      {"right of the source", {4, 6, 0, 1}},
      {"above the source", {0, 1, -1, 1}},
      {"below the source", {0, 1, 3, 5}},
      {"extreme corners", {INT_MIN, INT_MAX, 0, 1}},
      {"wider than the destination", {0, 4, 0, 1}},
      {"taller than the destination", {0, 1, 0, 4}},
      {"negative destination width", {0, 1, 0, 1}, -4, 4},
      {"negative destination height", {0, 1, 0, 1}, 4, -4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<unsigned char> destination(4 * 4 * 3, UNTOUCHED);
    CenterRegion(source, 6, 5, destination, c.destinationWidth, c.destinationHeight, &c.region);
    EXPECT_TRUE(AllUntouched(destination));
  }

  std::vector<unsigned char> destination(4 * 4 * 3, UNTOUCHED);
  const ImageRegion fits{0, 1, 0, 1};
  CenterRegion(source, 6, 5, destination, 4, 4, nullptr);
  CenterRegion(source, -6, 5, destination, 4, 4, &fits);
  CenterRegion(std::span(source).first(source.size() - 1), 6, 5, destination, 4, 4, &fits);
  CenterRegion(source, 6, 5, std::span(destination).first(47), 4, 4, &fits);
  EXPECT_TRUE(AllUntouched(destination));
}

TEST(CenterRegion, RefusesBuffersThatShareBytes) {
  std::vector<unsigned char> shared = PatternBytes(4 * 4 * 3 * 2, 8);
  const std::vector<unsigned char> before = shared;
  const ImageRegion region{0, 1, 0, 1};

  CenterRegion(shared, 4, 4, shared, 4, 4, &region);
  CenterRegion(std::span(shared).first(48), 4, 4, std::span(shared).subspan(47), 4, 4, &region);

  EXPECT_EQ(shared, before);
}

}  // namespace
