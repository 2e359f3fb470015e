// The track file's rules: starts, ends, absent and out-of-range rows, and
// what a later load keeps from an earlier one.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TrackTestSupport.h"
#include "support/TempDir.h"
#include "tracks/TrackGlobals.h"
#include "tracks/TrackSet.h"

namespace {

using tracks_test::StateOf;
using tracks_test::TraceLines;
using tracks_test::WriteTrackFile;

struct Trail {
  int first;
  int end;
  int diff;
  int enabled;
};

void ExpectTrail(const CTrack& track, Trail expected) {
  EXPECT_EQ(track.m_firstFrame, expected.first);
  EXPECT_EQ(track.m_endFrame, expected.end);
  EXPECT_EQ(track.m_frameDiff, expected.diff);
  EXPECT_EQ(track.m_enabled, expected.enabled);
}

void ExpectPoint(const CTrack& track, int frame, int x, int y) {
  EXPECT_EQ(track.m_x[frame], x) << "x at frame " << frame;
  EXPECT_EQ(track.m_y[frame], y) << "y at frame " << frame;
}

class TrackLoader : public ::testing::Test {
 protected:
  bool Load(std::string_view text) {
    return m_set.LoadTrueTracksFrom(WriteTrackFile(m_folder, text).c_str());
  }

  TempDir m_folder;
  CTrackSet m_set;
};

TEST_F(TrackLoader, TargetPresentToTheEndEndsAfterItsLastFrame) {
  ASSERT_TRUE(Load("1 3\n10 10\n11 11\n12 12\n"));
  EXPECT_EQ(m_set.m_count, 1);
  ExpectTrail(m_set.m_tracks[0], {3, 6, -3, 1});
  ExpectPoint(m_set.m_tracks[0], 2, 0, 0);
  ExpectPoint(m_set.m_tracks[0], 3, 10, 10);
  ExpectPoint(m_set.m_tracks[0], 4, 11, 11);
  ExpectPoint(m_set.m_tracks[0], 5, 12, 12);
  ExpectPoint(m_set.m_tracks[0], 6, 0, 0);
}

TEST_F(TrackLoader, AbsentRowEndsATrailAndLaterTargetStartsLate) {
  ASSERT_TRUE(Load("2 1  5 5  0 0  6 6  7 7  0 0  8 8"));
  EXPECT_EQ(m_set.m_count, 2);
  const CTrack& first = m_set.m_tracks[0];
  ExpectTrail(first, {1, 3, -2, 1});
  ExpectPoint(first, 1, 5, 5);
  ExpectPoint(first, 2, 6, 6);
  ExpectPoint(first, 3, 0, 0);
  // Still present in the last frame, so the end of the file closes its trail.
  const CTrack& second = m_set.m_tracks[1];
  ExpectTrail(second, {2, 4, -2, 1});
  ExpectPoint(second, 1, 0, 0);
  ExpectPoint(second, 2, 7, 7);
  ExpectPoint(second, 3, 8, 8);
}

TEST_F(TrackLoader, OutOfRangeRowDisablesItsTargetWithOneTraceLine) {
  const TraceLines trace;
  ASSERT_TRUE(Load("3 10\n1 1 2 2 1000 5\n3 3 4 4 6 6\n"));
  EXPECT_EQ(trace.Lines(), std::vector<std::string>{"Disabling target 2.\n"});
  const CTrack& disabled = m_set.m_tracks[2];
  EXPECT_EQ(disabled.m_enabled, 0);
  ExpectPoint(disabled, 10, 0, 0);
  ExpectPoint(disabled, 11, 0, 0);
  // The targets around it are unaffected.
  ExpectPoint(m_set.m_tracks[1], 10, 2, 2);
  ExpectPoint(m_set.m_tracks[1], 11, 4, 4);
  EXPECT_EQ(m_set.m_tracks[1].m_enabled, 1);
}

TEST_F(TrackLoader, EveryOutOfRangeRowIsTraced) {
  const TraceLines trace;
  ASSERT_TRUE(Load("2 0  5 1000  1 1  7 7  2 2  5 2000  3 3"));
  EXPECT_EQ(trace.Lines(),
            (std::vector<std::string>{"Disabling target 0.\n", "Disabling target 0.\n"}));
  EXPECT_EQ(m_set.m_tracks[0].m_enabled, 0);
  // The position between the two rows is not stored either.
  ExpectPoint(m_set.m_tracks[0], 1, 0, 0);
}

TEST_F(TrackLoader, LargestAndNegativeCoordinatesAreOrdinaryPositions) {
  const TraceLines trace;
  ASSERT_TRUE(Load("3 4  999 999  -5 7  0 9"));
  EXPECT_TRUE(trace.Lines().empty());
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(m_set.m_tracks[i].m_enabled, 1);
    EXPECT_EQ(m_set.m_tracks[i].m_firstFrame, 4);
  }
  ExpectPoint(m_set.m_tracks[0], 4, 999, 999);
  ExpectPoint(m_set.m_tracks[1], 4, -5, 7);
  ExpectPoint(m_set.m_tracks[2], 4, 0, 9);
}

TEST_F(TrackLoader, PositionAtFrameZeroIsStoredButDoesNotStartTheTarget) {
  ASSERT_TRUE(Load("1 0  4 4  5 5"));
  ExpectTrail(m_set.m_tracks[0], {1, 2, -1, 1});
  ExpectPoint(m_set.m_tracks[0], 0, 4, 4);
  ExpectPoint(m_set.m_tracks[0], 1, 5, 5);
}

TEST_F(TrackLoader, AbsentRowAfterFrameZeroDoesNotEndTheTrail) {
  ASSERT_TRUE(Load("1 0  4 4  0 0  6 6"));
  ExpectTrail(m_set.m_tracks[0], {2, 3, -1, 1});
  ExpectPoint(m_set.m_tracks[0], 0, 4, 4);
}

TEST_F(TrackLoader, PositionsAfterTheEndAreStoredAndLaterAbsentRowsChangeNothing) {
  ASSERT_TRUE(Load("1 20  1 2  0 0  3 4  0 0  5 6"));
  ExpectTrail(m_set.m_tracks[0], {20, 21, -1, 1});
  ExpectPoint(m_set.m_tracks[0], 22, 3, 4);
  ExpectPoint(m_set.m_tracks[0], 24, 5, 6);
}

TEST_F(TrackLoader, ReloadKeepsStartsEndsAndReplacesPositions) {
  ASSERT_TRUE(Load("2 3  10 10  20 20  0 0  21 21"));
  ExpectTrail(m_set.m_tracks[0], {3, 4, -1, 1});
  ExpectTrail(m_set.m_tracks[1], {3, 5, -2, 1});

  ASSERT_TRUE(Load("2 1  30 30  40 40  31 31  0 0"));
  EXPECT_EQ(m_set.m_count, 2);
  ExpectTrail(m_set.m_tracks[0], {3, 4, -1, 1});
  ExpectTrail(m_set.m_tracks[1], {3, 5, -2, 1});
  ExpectPoint(m_set.m_tracks[0], 1, 30, 30);
  ExpectPoint(m_set.m_tracks[0], 2, 31, 31);
  ExpectPoint(m_set.m_tracks[0], 3, 0, 0);  // cleared: only the earlier file had it
  ExpectPoint(m_set.m_tracks[1], 1, 40, 40);
  ExpectPoint(m_set.m_tracks[1], 3, 0, 0);
  ExpectPoint(m_set.m_tracks[1], 4, 0, 0);
}

TEST_F(TrackLoader, DisabledTargetStaysDisabledWithNoPositions) {
  ASSERT_TRUE(Load("1 5  8 8  1000 1"));
  ExpectPoint(m_set.m_tracks[0], 5, 8, 8);

  const TraceLines trace;
  ASSERT_TRUE(Load("1 5  8 8  9 9  10 10"));
  EXPECT_TRUE(trace.Lines().empty());
  EXPECT_EQ(m_set.m_tracks[0].m_enabled, 0);
  for (int j = 0; j < MAX_TRACK_FRAMES; ++j) {
    ASSERT_EQ(m_set.m_tracks[0].m_x[j], 0) << j;
    ASSERT_EQ(m_set.m_tracks[0].m_y[j], 0) << j;
  }
}

TEST_F(TrackLoader, FileThatCannotBeOpenedChangesNothing) {
  ASSERT_TRUE(Load("2 7  1 2  3 4  0 0  1000 1"));
  const std::vector<int> before = StateOf(m_set);
  const TraceLines trace;
  EXPECT_FALSE(m_set.LoadTrueTracksFrom(m_folder.FilePath("missing.txt").c_str()));
  EXPECT_FALSE(m_set.LoadTrueTracksFrom(m_folder.Path().c_str()));  // a folder
  EXPECT_FALSE(m_set.LoadTrueTracksFrom(nullptr));
  EXPECT_EQ(StateOf(m_set), before);
  EXPECT_TRUE(trace.Lines().empty());
}

// LoadTrueTracks names no file: it reads g_trueTracksPath in the current folder.
class CurrentFolder {
 public:
  explicit CurrentFolder(const std::filesystem::path& folder)
      : m_previous(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~CurrentFolder() { std::filesystem::current_path(m_previous); }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  std::filesystem::path m_previous;
};

TEST_F(TrackLoader, LoadTrueTracksReadsTheTrackFileOfTheCurrentFolder) {
  const CurrentFolder inFolder(m_folder.Path());
  EXPECT_FALSE(m_set.LoadTrueTracks());
  EXPECT_EQ(StateOf(m_set), StateOf(CTrackSet{}));

  WriteTrackFile(m_folder, "1 2  7 8", g_trueTracksPath);
  EXPECT_TRUE(m_set.LoadTrueTracks());
  EXPECT_EQ(m_set.m_count, 1);
  ExpectPoint(m_set.m_tracks[0], 2, 7, 8);
}

}  // namespace
