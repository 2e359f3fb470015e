// The track set as constructed and as put back by Reset, and SetPoint.

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <vector>

#include "TrackTestSupport.h"
#include "tracks/TrackGlobals.h"

namespace {

using tracks_test::StateOf;

// The state of a set at start-up, written out independently of the set's
// constructor: no targets, every track enabled, unstarted and at (0, 0).
std::vector<int> FreshState() {
  std::vector<int> state{0};
  for (int i = 0; i < MAX_TRACKS; ++i) {
    state.insert(state.end(), {0, 0, 0, 1});
    state.insert(state.end(), 2 * MAX_TRACK_FRAMES, 0);
  }
  return state;
}

TEST(TrackSet, StartsEmptyAndMatchesNothing) {
  const CTrackSet set;
  EXPECT_EQ(StateOf(set), FreshState());
  EXPECT_EQ(StateOf(g_trueTracks), FreshState());
  const std::vector<int> path(MAX_TRACK_FRAMES, 0);
  double variance = -1.0;
  EXPECT_EQ(set.BestMatch(path, path, 0, MAX_TRACK_FRAMES - 1, &variance), kNoTrackMatch);
  EXPECT_EQ(variance, 0.0);
  EXPECT_FALSE(set.NearDisabledTarget(0, 0, 0, 1000.0));
}

TEST(TrackSet, ResetGivesBackTheSetOfStartUp) {
  CTrackSet set;
  set.m_count = 3;
  set.m_tracks[0].m_firstFrame = 4;
  set.m_tracks[0].m_endFrame = 9;
  set.m_tracks[0].m_frameDiff = -5;
  set.m_tracks[1].m_enabled = 0;
  set.m_tracks[MAX_TRACKS - 1].SetPoint(7, 8, MAX_TRACK_FRAMES - 1);
  set.Reset();
  EXPECT_EQ(StateOf(set), FreshState());
}

TEST(Track, SetPointStoresAtItsFrameOnlyAndIgnoresFramesOutsideTheArrays) {
  CTrack track;
  std::vector<int> xs(MAX_TRACK_FRAMES, 0);
  std::vector<int> ys(MAX_TRACK_FRAMES, 0);
  for (const auto [x, y, frame] : {std::array{17, -4, 0}, std::array{300, 200, 250},
                                   std::array{999, 1, MAX_TRACK_FRAMES - 1}}) {
    track.SetPoint(x, y, frame);
    xs[frame] = x;
    ys[frame] = y;
  }
  for (const int frame : {-1, MAX_TRACK_FRAMES, INT_MIN, INT_MAX}) {
    track.SetPoint(5, 6, frame);
  }
  EXPECT_EQ(std::vector<int>(track.m_x.get(), track.m_x.get() + MAX_TRACK_FRAMES), xs);
  EXPECT_EQ(std::vector<int>(track.m_y.get(), track.m_y.get() + MAX_TRACK_FRAMES), ys);
}

}  // namespace
