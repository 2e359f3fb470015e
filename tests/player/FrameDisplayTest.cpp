// Drawing a bottom-up frame buffer 1:1 at the top-left corner of a surface,
// and ShowFrame's choice of surface: the shown player's picture control or
// nothing at all.

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "PlayerTestSupport.h"
#include "image/FrameDisplay.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "ui/core/DeviceContext.h"
#include "ui/core/Surface.h"
#include "ui/headless/HeadlessBackend.h"

using namespace res;
using namespace player_test;

namespace {

// A device context over a surface of the test's own.
class SurfaceDC : public ui::DeviceContext {
 public:
  explicit SurfaceDC(ui::Surface& surface) { m_surface = &surface; }
};

// DrawFrame gives up its time slice through the window backend, so one must
// be installed even for drawing into a surface of the test's own.
class FrameDisplay : public ::testing::Test {
 protected:
  ui::headless::HeadlessBackend m_backend;
};

// The size of the player's picture control in pixels.
constexpr int kPictureWidth = 348;
constexpr int kPictureHeight = 310;

}  // namespace

TEST_F(FrameDisplay, AFrameFillsTheTopLeftCornerBottomRowLowest) {
  ui::Surface surface(kPictureWidth, kPictureHeight, kFaceGrey);
  std::vector<std::uint8_t> frame = FramePixels(7);
  frame[0] = 0;
  frame[1] = 0;
  frame[2] = 255;
  const std::vector<std::uint8_t> before = frame;
  SurfaceDC dc(surface);
  DrawFrame(dc, frame.data(), kWidth, kHeight);

  EXPECT_EQ(std::memcmp(surface.Pixel(0, kHeight - 1), "\xff\x00\x00", 3), 0)
      << "the first pixel in memory is the bottom-left one, red";
  EXPECT_TRUE(SurfaceShows(surface, frame));
  EXPECT_EQ(frame, before) << "the caller's buffer is only read";
}

TEST_F(FrameDisplay, WidthsWhoseRowsAreNotWholeWordsAreNotDrawn) {
  for (const int width : {1, 2, 3, 5, 321, 322, 323}) {
    ui::Surface surface(kPictureWidth, kPictureHeight, kFaceGrey);
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(width) * 3 * 2, 0x40);
    SurfaceDC dc(surface);
    DrawFrame(dc, frame.data(), width, 2);
    EXPECT_TRUE(SurfaceUntouched(surface)) << "width " << width;
  }
  for (const int width : {4, 8, 324}) {
    ui::Surface surface(kPictureWidth, kPictureHeight, kFaceGrey);
    std::vector<std::uint8_t> frame(static_cast<std::size_t>(width) * 3 * 2);
    for (std::size_t i = 0; i < frame.size(); ++i)
      frame[i] = static_cast<std::uint8_t>(i);
    SurfaceDC dc(surface);
    DrawFrame(dc, frame.data(), width, 2);
    // Bottom row of the picture (surface row 1) is the first row in memory.
    for (int x = 0; x < width; ++x) {
      const std::uint8_t* bottom = surface.Pixel(x, 1);
      const std::uint8_t* top = surface.Pixel(x, 0);
      const std::size_t o = static_cast<std::size_t>(x) * 3;
      const std::size_t row = static_cast<std::size_t>(width) * 3;
      ASSERT_EQ(bottom[0], frame[o + 2]) << "width " << width << ", x " << x;
      ASSERT_EQ(bottom[2], frame[o]) << "width " << width << ", x " << x;
      ASSERT_EQ(top[0], frame[row + o + 2]) << "width " << width << ", x " << x;
    }
    // Right of and below the drawn area the surface keeps its grey.
    EXPECT_EQ(std::memcmp(surface.Pixel(width, 0), "\xf0\xf0\xf0", 3), 0);
    EXPECT_EQ(std::memcmp(surface.Pixel(0, 2), "\xf0\xf0\xf0", 3), 0);
  }
}

TEST_F(FrameDisplay, NothingIsDrawnForAnEmptyOrMissingFrame) {
  ui::Surface surface(kPictureWidth, kPictureHeight, kFaceGrey);
  SurfaceDC dc(surface);
  const std::vector<std::uint8_t> frame(kFrameBytes, 0x10);
  DrawFrame(dc, nullptr, kWidth, kHeight);
  DrawFrame(dc, frame.data(), 0, kHeight);
  DrawFrame(dc, frame.data(), kWidth, 0);
  DrawFrame(dc, frame.data(), -kWidth, kHeight);
  DrawFrame(dc, frame.data(), kWidth, -kHeight);
  EXPECT_TRUE(SurfaceUntouched(surface));
}

using ShowFrameTest = PlayerTest;

TEST_F(ShowFrameTest, WithoutAPlayerWindowNothingIsDrawn) {
  const std::vector<std::uint8_t> frame = FramePixels(3);
  const auto show = [&] { ShowFrame(frame.data(), kWidth, kHeight); };
  // Before the player was ever shown, after its window has gone, and then
  // while it is shown again the picture is new and untouched.
  show();
  m_user.Click(IDC_READ_SERIES)
      .Key(ui::DialogKey::Escape)
      .Then([&] {
        EXPECT_FALSE(g_fileReadDlg.m_picture.HasWindow());
        show();
      })
      .Click(IDC_READ_SERIES)
      .Then([&] {
        EXPECT_EQ(PictureUpdates(), 0);
        EXPECT_TRUE(SurfaceUntouched(Picture()));
        show();
        EXPECT_EQ(PictureUpdates(), 1);
        EXPECT_TRUE(SurfaceShows(Picture(), frame));
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
  EXPECT_EQ(frame, FramePixels(3));
}
