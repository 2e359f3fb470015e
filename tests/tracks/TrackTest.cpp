#include <gtest/gtest.h>

#include <vector>

#include "tracks/Track.h"
#include "tracks/TrackGlobals.h"
#include "tracks/TrackSet.h"

namespace {

void ExpectFresh(const CTrack& track) {
  EXPECT_EQ(track.m_firstFrame, 0);
  EXPECT_EQ(track.m_endFrame, 0);
  EXPECT_EQ(track.m_frameDiff, 0);
  EXPECT_EQ(track.m_enabled, 1);
  for (int j = 0; j < MAX_TRACK_FRAMES; ++j) {
    ASSERT_EQ(track.m_x[j], 0) << "frame " << j;
    ASSERT_EQ(track.m_y[j], 0) << "frame " << j;
  }
}

TEST(Track, FreshTrackIsEnabledUnstartedAndEmpty) {
  const CTrack track;
  ExpectFresh(track);
}

TEST(Track, SetPointStoresOnlyAtItsFrame) {
  CTrack track;
  track.SetPoint(17, -4, 0);
  track.SetPoint(300, 200, 250);
  track.SetPoint(999, 1, MAX_TRACK_FRAMES - 1);
  for (int j = 0; j < MAX_TRACK_FRAMES; ++j) {
    const int x = j == 0 ? 17 : j == 250 ? 300 : j == MAX_TRACK_FRAMES - 1 ? 999 : 0;
    const int y = j == 0 ? -4 : j == 250 ? 200 : j == MAX_TRACK_FRAMES - 1 ? 1 : 0;
    ASSERT_EQ(track.m_x[j], x) << "frame " << j;
    ASSERT_EQ(track.m_y[j], y) << "frame " << j;
  }
}

TEST(Track, SetPointOutsideTheFramesIsIgnored) {
  CTrack track;
  for (const int frame :
       {-1, MAX_TRACK_FRAMES, MAX_TRACK_FRAMES + 1, -2147483647 - 1, 2147483647}) {
    track.SetPoint(5, 6, frame);
  }
  ExpectFresh(track);
}

TEST(TrackSet, FreshSetHasNoTargetsAndFiftyFreshTracks) {
  const CTrackSet set;
  EXPECT_EQ(set.m_count, 0);
  for (int i = 0; i < MAX_TRACKS; ++i) {
    SCOPED_TRACE(i);
    ExpectFresh(set.m_tracks[i]);
  }
}

TEST(TrackSet, ResetGivesBackTheSetOfStartUp) {
  CTrackSet set;
  set.m_count = 3;
  set.m_tracks[0].m_firstFrame = 4;
  set.m_tracks[0].m_endFrame = 9;
  set.m_tracks[0].m_frameDiff = -5;
  set.m_tracks[1].m_enabled = 0;
  set.m_tracks[49].SetPoint(7, 8, 499);
  set.Reset();
  EXPECT_EQ(set.m_count, 0);
  for (int i = 0; i < MAX_TRACKS; ++i) {
    SCOPED_TRACE(i);
    ExpectFresh(set.m_tracks[i]);
  }
}

TEST(TrackSet, TracksInUseStaysWithinTheTable) {
  CTrackSet set;
  set.m_count = 7;
  EXPECT_EQ(set.TracksInUse(), 7);
  set.m_count = MAX_TRACKS + 1;
  EXPECT_EQ(set.TracksInUse(), MAX_TRACKS);
  set.m_count = -3;
  EXPECT_EQ(set.TracksInUse(), 0);
}

TEST(TrackSet, FreshSetMatchesNothing) {
  const CTrackSet set;
  const std::vector<int> path(MAX_TRACK_FRAMES, 0);
  double variance = -1.0;
  EXPECT_EQ(set.BestMatch(path, path, 0, MAX_TRACK_FRAMES - 1, &variance), kNoTrackMatch);
  EXPECT_EQ(variance, 0.0);
  EXPECT_FALSE(set.NearDisabledTarget(0, 0, 0, 1000.0));
}

TEST(TrackGlobals, GlobalSetAndPathAreReadyAtStartUp) {
  EXPECT_EQ(g_trueTracksPath, "truetracks.txt");
  EXPECT_EQ(g_trueTracks.m_count, 0);
  ASSERT_NE(g_trueTracks.m_tracks, nullptr);
  EXPECT_EQ(g_trueTracks.m_tracks[MAX_TRACKS - 1].m_enabled, 1);
}

}  // namespace
