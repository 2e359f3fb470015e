// The player as the user meets it on the typical road: the console opens it
// with its presets, the user types the root path, ticks both boxes and presses
// READ, and the series plays with the tracks painted over every frame.

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "PlayerTestSupport.h"
#include "console/KorvaneDlg.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "tracks/TrackGlobals.h"

using namespace res;
using namespace player_test;

namespace {

// Two targets from frame 3 on: target 0 is at (100, 50), (101, 50), (102, 51)
// in frames 3 to 5 and absent after that (its trail covers frames 3..5);
// target 1 appears at frame 24 and moves 10 columns right per frame along
// row 200 until frame 54, then is absent in frame 55.
int Target1X(int frame) {
  return 5 + 10 * (frame - 24);
}
constexpr int kTarget1Y = 200;

std::string TwoTargetTrackFile() {
  std::string text = "2 3\n100 50 0 0\n101 50 0 0\n102 51 0 0\n";
  for (int frame = 6; frame <= 55; ++frame) {
    const bool present = frame >= 24 && frame <= 54;
    text += "0 0 " +
            (present ? std::to_string(Target1X(frame)) + " " + std::to_string(kTarget1Y)
                     : std::string("0 0")) +
            "\n";
  }
  return text;
}

// Every pixel of the 10 × 10 marker whose bottom-left pixel is (x, y) is red.
::testing::AssertionResult MarkerAt(std::span<const std::uint8_t> frame, int x, int y) {
  for (int column = x; column < x + 10; ++column) {
    for (int row = y - 9; row <= y; ++row) {
      if (!(PictureAt(frame, column, row) == kRed))
        return ::testing::AssertionFailure() << "(" << column << ", " << row << ") is not red";
    }
  }
  return ::testing::AssertionSuccess();
}

}  // namespace

using PlayerRoad = PlayerTest;

TEST_F(PlayerRoad, PresetsPlayThirtyOneFramesWithTrailsAndMarkers) {
  WriteFrames(m_root, 24, 54);
  WriteTrackFile(TwoTargetTrackFile());
  // The console's root path names nothing; the user types the series' path.
  std::snprintf(g_rootPath, sizeof g_rootPath, "%s", "/nonexistent/take");

  m_user.Click(IDC_READ_SERIES)
      .Then([&] {
        ASSERT_NE(Player(), nullptr);
        EXPECT_EQ(Player()->GetControlText(IDC_ROOT_PATH), "/nonexistent/take");
        EXPECT_EQ(Player()->GetControlText(IDC_START_FRAME), "24");
        EXPECT_EQ(Player()->GetControlText(IDC_LAST_FRAME), "54");
        EXPECT_EQ(Player()->GetControlText(IDC_FRAME_RATE), "10");
        EXPECT_EQ(Player()->GetCheck(IDC_USE_TRUETRACKS), 0);
        EXPECT_EQ(Player()->GetCheck(IDC_SHOW_TRACK), 0);
      })
      .Type(IDC_ROOT_PATH, m_root)
      .Click(IDC_USE_TRUETRACKS)
      .Click(IDC_SHOW_TRACK)
      .Click(IDC_READ)
      .Then([&] {
        EXPECT_EQ(g_trueTracks.m_count, 2);
        EXPECT_EQ(m_user.TimerInterval(*Player(), IDT_TIMER_0), 100);
        EXPECT_EQ(g_fileReadDlg.m_curFrame, 24);
        EXPECT_EQ(DifferentPixels(Buffer(), std::vector<std::uint8_t>(kFrameBytes, 0)), 0)
            << "the new buffer is black";
        EXPECT_EQ(PictureUpdates(), 0);
      });
  for (int frame = 24; frame <= 54; ++frame) {
    m_user.Wait(100).Then([&, frame] {
      SCOPED_TRACE("frame " + std::to_string(frame));
      EXPECT_EQ(g_fileReadDlg.m_curFrame, frame + 1);
      EXPECT_EQ(Player()->GetControlText(IDC_LAST_FRAME), std::to_string(frame + 1));
      EXPECT_EQ(PictureUpdates(), frame - 23);

      const auto buffer = Buffer();
      ASSERT_EQ(buffer.size(), kFrameBytes);
      // Target 0's first trail square: picture (100, 50) is buffer row 189.
      EXPECT_EQ(OffsetOf(100, 50), 181740u);
      EXPECT_EQ(buffer[181740], 0);
      EXPECT_EQ(buffer[181741], 255);
      EXPECT_EQ(buffer[181742], 0);
      // Target 1's marker at this frame's position, its trail square of the
      // frame before left of it untouched by the marker, and the whole trail
      // (later frames too) drawn in every frame.
      const int x = Target1X(frame);
      EXPECT_TRUE(MarkerAt(buffer, x, kTarget1Y));
      EXPECT_EQ(PictureAt(buffer, x - 1, kTarget1Y), PictureAt(FramePixels(frame), x - 1, 200));
      if (frame < 54) {
        EXPECT_EQ(PictureAt(buffer, x + 10, kTarget1Y), kGreen);
      }
      // Target 0's three squares cover 17 pixels, target 1's 31 squares 279,
      // of which the marker (100 pixels) covers one square of 9.
      EXPECT_EQ(DifferentPixels(buffer, FramePixels(frame)), 17 + 279 - 9 + 100);
      EXPECT_TRUE(SurfaceShows(Picture(), buffer));
    });
  }
  m_user.Wait(1000)
      .Then([&] {
        EXPECT_FALSE(m_user.HasTimer(*Player(), IDT_TIMER_0));
        EXPECT_EQ(Player()->GetControlText(IDC_LAST_FRAME), "55");
        EXPECT_EQ(PictureUpdates(), 31);
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(g_fileReadDlg.m_curFrame, 55);
  EXPECT_EQ(g_fileReadDlg.m_lastFrame, 54) << "only the box shows the advanced number";
  std::vector<std::string> expected;
  for (int frame = 24; frame <= 54; ++frame)
    expected.push_back("filename: " + FrameName(m_root, frame) + "\n");
  EXPECT_EQ(FileNameLines(), expected);
}

TEST_F(PlayerRoad, MarkerAndTrailSquaresLieWhereTheirPositionsSay) {
  WriteFrames(m_root, 3, 5);
  WriteTrackFile("1 3\n100 50\n101 50\n102 51\n");

  m_user.Click(IDC_READ_SERIES)
      .Type(IDC_START_FRAME, "3")
      .Type(IDC_LAST_FRAME, "5")
      .Click(IDC_USE_TRUETRACKS)
      .Click(IDC_SHOW_TRACK)
      .Click(IDC_READ)
      .Then([&] {
        const CTrack& track = g_trueTracks.m_tracks[0];
        EXPECT_EQ(track.m_firstFrame, 3);
        EXPECT_EQ(track.m_endFrame, 6);
      })
      .Wait(100)
      .Then([&] {
        // Frame 3: the marker at (100, 50) covers columns 100..109 and rows
        // 41..50, over the trail; the trail square at (102, 51) shows below it.
        const auto buffer = Buffer();
        EXPECT_TRUE(MarkerAt(buffer, 100, 50));
        for (int row = 41; row <= 50; ++row) {
          EXPECT_NE(PictureAt(buffer, 99, row), kRed);
          EXPECT_NE(PictureAt(buffer, 110, row), kRed);
        }
        for (int column = 100; column <= 109; ++column) {
          EXPECT_NE(PictureAt(buffer, column, 40), kRed);
        }
        for (int column = 102; column <= 104; ++column)
          EXPECT_EQ(PictureAt(buffer, column, 51), kGreen);
        EXPECT_EQ(DifferentPixels(buffer, FramePixels(3)), 100 + 3);
        EXPECT_TRUE(SurfaceShows(Picture(), buffer));
      })
      .Wait(100)
      .Then([&] {
        // Frame 4: the marker has moved to (101, 50), uncovering column 100 of
        // the first trail square.
        const auto buffer = Buffer();
        EXPECT_EQ(buffer[181740], 0);
        EXPECT_EQ(buffer[181741], 255);
        EXPECT_EQ(buffer[181742], 0);
        EXPECT_TRUE(MarkerAt(buffer, 101, 50));
        EXPECT_EQ(DifferentPixels(buffer, FramePixels(4)), 100 + 3 + 3);
        // The surface is top-down red-green-blue.
        const ui::Surface& picture = Picture();
        EXPECT_EQ(std::memcmp(picture.Pixel(100, 50), "\x00\xff\x00", 3), 0);
        EXPECT_EQ(std::memcmp(picture.Pixel(101, 41), "\xff\x00\x00", 3), 0);
        EXPECT_EQ(std::memcmp(picture.Pixel(110, 50), "\xff\x00\x00", 3), 0);
        EXPECT_NE(std::memcmp(picture.Pixel(111, 50), "\xff\x00\x00", 3), 0);
        EXPECT_NE(std::memcmp(picture.Pixel(101, 40), "\xff\x00\x00", 3), 0);
      })
      .Wait(100)
      .Then([&] {
        const auto buffer = Buffer();
        EXPECT_TRUE(MarkerAt(buffer, 102, 51));
        EXPECT_EQ(DifferentPixels(buffer, FramePixels(5)), 100 + 6);
        EXPECT_FALSE(m_user.HasTimer(*Player(), IDT_TIMER_0));
        EXPECT_EQ(Player()->GetControlText(IDC_LAST_FRAME), "6");
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
  EXPECT_EQ(FileNameLines().size(), 3u);
}
