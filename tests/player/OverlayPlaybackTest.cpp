// What the two check boxes and the state of the track set do to the frames a
// playback shows: each box is read at every tick, and only enabled tracks in
// use are painted.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "PlayerTestSupport.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "tracks/TrackGlobals.h"

using namespace res;
using namespace player_test;

namespace {

struct Position {
  int frame;
  int x;
  int y;
};

void SetTrack(int index, int first, int end, std::initializer_list<Position> positions) {
  CTrack& track = g_trueTracks.m_tracks[index];
  track.m_firstFrame = first;
  track.m_endFrame = end;
  track.m_frameDiff = first - end;
  for (const Position& p : positions)
    track.SetPoint(p.x, p.y, p.frame);
}

// Track 0 as the track file of the usual example leaves it (trail over frames
// 3..5), with positions stored for frames 24..27 as well, as a file with rows
// after the trail's end gives them.
void UsualTrack() {
  g_trueTracks.m_count = 1;
  SetTrack(0, 3, 6,
           {{3, 100, 50},
            {4, 101, 50},
            {5, 102, 51},
            {24, 150, 100},
            {25, 150, 100},
            {26, 150, 100},
            {27, 150, 100}});
}

constexpr int kTrailPixels = 17;    // the three overlapping trail squares
constexpr int kMarkerPixels = 100;  // one 10 × 10 marker

}  // namespace

using PlayerOverlays = PlayerTest;

TEST_F(PlayerOverlays, WithNeitherBoxTickedTheFrameIsShownAsRead) {
  WriteFrames(m_root, 24, 25);
  UsualTrack();
  m_user.Click(IDC_READ_SERIES).Type(IDC_LAST_FRAME, "25").Click(IDC_READ);
  for (int frame = 24; frame <= 25; ++frame) {
    m_user.Wait(100).Then([&, frame] {
      EXPECT_EQ(DifferentPixels(Buffer(), FramePixels(frame)), 0);
      EXPECT_TRUE(SurfaceShows(Picture(), FramePixels(frame)));
    });
  }
  m_user.Key(ui::DialogKey::Escape).Key(ui::DialogKey::Escape);
  RunConsole();
  EXPECT_EQ(FileNameLines().size(), 2u);
}

TEST_F(PlayerOverlays, TogglingABoxTakesEffectAtTheNextTick) {
  WriteFrames(m_root, 24, 27);
  UsualTrack();
  std::vector<int> painted;                  // pixels painted over, frame by frame
  std::vector<std::pair<Bgr, Bgr>> samples;  // (trail pixel, marker pixel)
  const auto look = [&](int frame) {
    return [&, frame] {
      painted.push_back(DifferentPixels(Buffer(), FramePixels(frame)));
      samples.emplace_back(PictureAt(Buffer(), 100, 50), PictureAt(Buffer(), 150, 100));
      EXPECT_TRUE(SurfaceShows(Picture(), Buffer()));
    };
  };
  m_user.Click(IDC_READ_SERIES)
      .Type(IDC_LAST_FRAME, "27")
      .Click(IDC_READ)
      .Wait(100)
      .Then(look(24))
      .Click(IDC_SHOW_TRACK)
      .Wait(100)
      .Then(look(25))
      .Click(IDC_USE_TRUETRACKS)
      .Wait(100)
      .Then(look(26))
      .Click(IDC_SHOW_TRACK)
      .Wait(100)
      .Then(look(27))
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(painted,
            (std::vector<int>{0, kTrailPixels, kTrailPixels + kMarkerPixels, kMarkerPixels}));
  ASSERT_EQ(samples.size(), 4u);
  EXPECT_NE(samples[0].first, kGreen);
  EXPECT_EQ(samples[1].first, kGreen);
  EXPECT_NE(samples[1].second, kRed);
  EXPECT_EQ(samples[2].first, kGreen);
  EXPECT_EQ(samples[2].second, kRed);
  EXPECT_NE(samples[3].first, kGreen);
  EXPECT_EQ(samples[3].second, kRed);
}

TEST_F(PlayerOverlays, WithoutTracksInUseNothingIsPainted) {
  WriteFrames(m_root, 24, 25);
  UsualTrack();
  g_trueTracks.m_count = 0;  // as after start-up; no track file to load
  m_user.Click(IDC_READ_SERIES)
      .Type(IDC_LAST_FRAME, "25")
      .Click(IDC_USE_TRUETRACKS)
      .Click(IDC_SHOW_TRACK)
      .Click(IDC_READ);
  for (int frame = 24; frame <= 25; ++frame) {
    m_user.Wait(100).Then([&, frame] {
      EXPECT_EQ(DifferentPixels(Buffer(), FramePixels(frame)), 0);
      EXPECT_TRUE(SurfaceShows(Picture(), FramePixels(frame)));
    });
  }
  m_user.Key(ui::DialogKey::Escape).Key(ui::DialogKey::Escape);
  RunConsole();
  EXPECT_EQ(g_trueTracks.m_count, 0);
}

TEST_F(PlayerOverlays, ADisabledTrackPaintsNeitherTrailNorMarker) {
  WriteFrame(m_root, 24);
  UsualTrack();
  g_trueTracks.m_count = 2;
  g_trueTracks.m_tracks[0].m_enabled = 0;
  SetTrack(1, 24, 25, {{24, 200, 150}});
  m_user.Click(IDC_READ_SERIES)
      .Type(IDC_LAST_FRAME, "24")
      .Click(IDC_USE_TRUETRACKS)
      .Click(IDC_SHOW_TRACK)
      .Click(IDC_READ)
      .Wait(100)
      .Then([&] {
        // Only track 1: its trail square lies under its own marker.
        EXPECT_EQ(DifferentPixels(Buffer(), FramePixels(24)), kMarkerPixels);
        EXPECT_EQ(PictureAt(Buffer(), 200, 150), kRed);
        EXPECT_EQ(PictureAt(Buffer(), 100, 50), PictureAt(FramePixels(24), 100, 50));
        EXPECT_EQ(PictureAt(Buffer(), 150, 100), PictureAt(FramePixels(24), 150, 100));
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
}

TEST_F(PlayerOverlays, ATrackWithEndFrameZeroGetsAMarkerButNoTrail) {
  WriteFrame(m_root, 24);
  UsualTrack();
  SetTrack(0, 3, 0, {});
  m_user.Click(IDC_READ_SERIES)
      .Type(IDC_LAST_FRAME, "24")
      .Click(IDC_USE_TRUETRACKS)
      .Click(IDC_SHOW_TRACK)
      .Click(IDC_READ)
      .Wait(100)
      .Then([&] {
        EXPECT_EQ(DifferentPixels(Buffer(), FramePixels(24)), kMarkerPixels);
        EXPECT_EQ(PictureAt(Buffer(), 150, 100), kRed);
        EXPECT_EQ(PictureAt(Buffer(), 100, 50), PictureAt(FramePixels(24), 100, 50));
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  RunConsole();
}
