// Drawing a bottom-up frame buffer 1:1 at the top-left corner of a surface,
// and ShowFrame's choice of surface: the shown player's picture control or
// nothing at all.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "PlayerTestSupport.h"
#include "image/FrameDisplay.h"

using namespace res;
using namespace player_test;

namespace {

// A device context over a surface of the test's own.
class SurfaceDC : public ui::DeviceContext {
 public:
  explicit SurfaceDC(ui::Surface& surface) { m_surface = &surface; }
};

}  // namespace

TEST(FrameDisplay, DrawsWholeWordRowsOneToOneBottomRowLowestAndNothingElse) {
  ui::headless::HeadlessBackend backend;  // DrawFrame yields through the backend
  struct Case {
    int width, height;
    bool drawn;
  };
  const std::vector<Case> cases = {
      {320, 240, true}, {4, 2, true},    {8, 2, true},    {324, 2, true},     {1, 2, false},
      {2, 2, false},    {3, 2, false},   {5, 2, false},   {321, 2, false},    {322, 2, false},
      {323, 2, false},  {0, 240, false}, {320, 0, false}, {-320, 240, false}, {320, -240, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.width << " x " << c.height);
    ui::Surface surface(348, 310, kFaceGrey);  // the player's picture control
    std::vector<std::uint8_t> frame =
        FramePixels(7, std::max(c.width, 1), std::max(std::abs(c.height), 1));
    frame[0] = frame[1] = 0;
    frame[2] = 255;
    const std::vector<std::uint8_t> before = frame;
    SurfaceDC dc(surface);
    DrawFrame(dc, frame.data(), c.width, c.height);
    EXPECT_TRUE(SurfaceShows(surface, c.drawn ? std::span(frame) : std::span<std::uint8_t>(),
                             c.width, c.height));
    if (c.drawn) {
      EXPECT_EQ(std::memcmp(surface.Pixel(0, c.height - 1), "\xff\x00\x00", 3), 0)
          << "the first pixel in memory is the bottom-left one";
    }
    EXPECT_EQ(frame, before) << "the caller's buffer is only read";
  }
  ui::Surface surface(348, 310, kFaceGrey);
  SurfaceDC dc(surface);
  DrawFrame(dc, nullptr, kWidth, kHeight);
  EXPECT_TRUE(SurfaceShows(surface, {}));
}

using ShowFrameTest = PlayerTest;

TEST_F(ShowFrameTest, WithoutAPlayerWindowNothingIsDrawn) {
  const std::vector<std::uint8_t> frame = FramePixels(3);
  const auto show = [&] { ShowFrame(frame.data(), kWidth, kHeight); };
  // Before the player was ever shown and after its window has gone; shown
  // again, its picture is untouched.
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
        EXPECT_TRUE(SurfaceShows(Picture(), {}));
      });
  RunConsole();
}
