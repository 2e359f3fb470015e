// Playback with the track overlays: the typical road (the console opens the
// player with its presets, the user types the root path, ticks both boxes and
// presses READ, and the series plays with the tracks over every frame), and
// the boxes read at every tick.

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "PlayerTestSupport.h"

using namespace res;
using namespace player_test;

namespace {

// Target 0 is at (100, 50), (101, 50), (102, 51) in frames 3 to 5 and absent
// after that; target 1 appears at frame 24 and moves 10 columns right per
// frame along row 200 until frame 54, then is absent in frame 55.
int Target1X(int frame) {
  return 5 + 10 * (frame - 24);
}

std::string TwoTargetTrackFile() {
  std::string text = "2 3\n100 50 0 0\n101 50 0 0\n102 51 0 0\n";
  for (int frame = 6; frame <= 55; ++frame) {
    const bool present = frame >= 24 && frame <= 54;
    text += "0 0 " + (present ? std::to_string(Target1X(frame)) + " 200" : "0 0") + "\n";
  }
  return text;
}

}  // namespace

using PlayerRoad = PlayerTest;

TEST_F(PlayerRoad, PresetsPlayThirtyOneFramesWithTrailsAndMarkers) {
  WriteFrames(24, 54);
  std::ofstream("truetracks.txt") << TwoTargetTrackFile();
  m_user.Click(IDC_READ_SERIES)
      .Click(IDC_USE_TRUETRACKS)
      .Click(IDC_SHOW_TRACK)
      .Click(IDC_READ)
      .Then([&] {
        EXPECT_EQ(g_trueTracks.m_count, 2);
        EXPECT_EQ(m_user.TimerInterval(*Player(), IDT_TIMER_0), 100);
        EXPECT_EQ(DifferentPixels(Buffer(), kBlack), 0) << "the new buffer is black";
      });
  for (int frame = 24; frame <= 54; ++frame) {
    m_user.Wait(100).Then([&, frame] {
      SCOPED_TRACE("frame " + std::to_string(frame));
      EXPECT_EQ(Box(), std::to_string(frame + 1));
      EXPECT_EQ(PictureUpdates(), frame - 23);
      const auto buffer = Buffer();
      // Target 0's first trail square: picture (100, 50) is buffer row 189.
      EXPECT_EQ(buffer[181740], 0);
      EXPECT_EQ(buffer[181741], 255);
      EXPECT_EQ(buffer[181742], 0);
      // Target 1's marker at this frame's position, and the whole trail
      // (later frames too) drawn in every frame.
      const int x = Target1X(frame);
      for (int column = x; column < x + 10; ++column) {
        for (int row = 191; row <= 200; ++row)
          EXPECT_EQ(PictureAt(buffer, column, row), kRed) << column << ", " << row;
      }
      if (frame < 54) {
        EXPECT_EQ(PictureAt(buffer, x + 10, 200), kGreen);
      }
      // Target 0's three squares cover 17 pixels, target 1's 31 squares 279,
      // of which the marker (100 pixels) covers one square of 9.
      EXPECT_EQ(DifferentPixels(buffer, FramePixels(frame)), 17 + 279 - 9 + 100);
      EXPECT_TRUE(SurfaceShows(Picture(), buffer));
    });
  }
  m_user.Wait(1000).Then([&] {
    EXPECT_FALSE(Playing());
    EXPECT_EQ(Box(), "55");
    EXPECT_EQ(PictureUpdates(), 31);
  });
  RunConsole();
  EXPECT_EQ(g_fileReadDlg.m_lastFrame, 54) << "only the box shows the advanced number";
  std::vector<std::string> expected;
  for (int frame = 24; frame <= 54; ++frame)
    expected.push_back(Line(frame));
  EXPECT_EQ(m_fileLines, expected);
}

TEST_F(PlayerRoad, EachBoxTakesEffectAtTheNextTickAndAnEmptySetPaintsNothing) {
  WriteFrames(24, 28);
  std::ofstream("truetracks.txt") << TwoTargetTrackFile();
  g_trueTracks.LoadTrueTracks();  // READ without "Use TrueTracks" keeps what the set holds
  struct Step {
    int click;  // box toggled before the tick, 0 for none
    int painted;
  };
  // Trails of 17 + 279 pixels; the marker covers one trail square of 9.
  const std::vector<Step> steps = {{0, 0},
                                   {IDC_SHOW_TRACK, 296},
                                   {IDC_USE_TRUETRACKS, 296 - 9 + 100},
                                   {IDC_SHOW_TRACK, 100},
                                   {IDC_SHOW_TRACK, 0}};  // both ticked, no tracks in use
  m_user.Click(IDC_READ_SERIES).Type(IDC_LAST_FRAME, "28").Click(IDC_READ);
  for (int frame = 24; frame <= 28; ++frame) {
    const Step& step = steps[static_cast<std::size_t>(frame - 24)];
    if (frame == 28)
      m_user.Then([] { g_trueTracks.m_count = 0; });
    if (step.click != 0)
      m_user.Click(step.click);
    m_user.Wait(100).Then([&, frame, step] {
      SCOPED_TRACE("frame " + std::to_string(frame));
      EXPECT_EQ(DifferentPixels(Buffer(), FramePixels(frame)), step.painted);
      EXPECT_TRUE(SurfaceShows(Picture(), Buffer()));
    });
  }
  RunConsole();
  EXPECT_EQ(m_fileLines.size(), 5u);
}
