// The names of a series' frame files.

#include <gtest/gtest.h>

#include <climits>

#include "image/SeriesFrames.h"

namespace {

TEST(SeriesFrames, FrameFileNamesFollowTheSeriesNaming) {
  EXPECT_EQ(series::FrameFileName("a/take9", 24), "a/take9_0024.bmp");
  EXPECT_EQ(series::FrameFileName("r", 10000), "r_10000.bmp");
  EXPECT_EQ(series::FrameFileName("r", -1), "r_-001.bmp");
  EXPECT_EQ(series::FrameFileName("r", INT_MIN), "r_-2147483648.bmp");
}

}  // namespace
