// How the loader treats files it cannot trust: counts and frames outside the
// table, tokens that are not numbers, half rows, huge integers, and where the
// file's end closes trails.

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "TrackTestSupport.h"
#include "support/TempDir.h"
#include "tracks/TrackSet.h"

namespace {

using tracks_test::StateOf;
using tracks_test::TraceLines;
using tracks_test::WriteTrackFile;

class TrackLoaderLimits : public ::testing::Test {
 protected:
  bool Load(std::string_view text) {
    return m_set.LoadTrueTracksFrom(WriteTrackFile(m_folder, text).c_str());
  }
  const CTrack& Track(int i) const { return m_set.m_tracks[i]; }

  TempDir m_folder;
  CTrackSet m_set;
};

TEST_F(TrackLoaderLimits, CountOfZeroOrLessReadsNoRowsAndTouchesNoPosition) {
  for (const char* text : {"0 5  1000 1  1 1", "-3 5  1000 1  1 1"}) {
    SCOPED_TRACE(text);
    ASSERT_TRUE(Load("2 4  1 2  3 4  0 0  5 6"));
    std::vector<int> expected = StateOf(m_set);
    expected[0] = 0;  // only the count changes
    const TraceLines trace;
    EXPECT_TRUE(Load(text));
    EXPECT_EQ(StateOf(m_set), expected);
    EXPECT_TRUE(trace.Lines().empty());
  }
}

TEST_F(TrackLoaderLimits, IncompleteHeaderDescribesNoTargets) {
  for (const char* text : {"", "  \n", "3", "x 2 1 1", "3 y 1 1"}) {
    SCOPED_TRACE(text);
    ASSERT_TRUE(Load("1 4  7 7"));
    std::vector<int> expected = StateOf(m_set);
    expected[0] = 0;
    EXPECT_TRUE(Load(text));
    EXPECT_EQ(StateOf(m_set), expected);
  }
}

TEST_F(TrackLoaderLimits, CountAboveTheTableKeepsFramesAligned) {
  // 52 targets over two frames; target i has (i + 1, frame + 1), except that
  // the two targets beyond the table carry rows that would disable them.
  std::string text = "52 0\n";
  for (int frame = 0; frame < 2; ++frame) {
    for (int i = 0; i < 52; ++i) {
      text += i < MAX_TRACKS ? std::to_string(i + 1) + " " + std::to_string(frame + 1) + "\n"
                             : "1000 1000\n";
    }
  }
  const TraceLines trace;
  ASSERT_TRUE(Load(text));
  EXPECT_EQ(m_set.m_count, MAX_TRACKS);
  EXPECT_TRUE(trace.Lines().empty());
  for (int i = 0; i < MAX_TRACKS; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Track(i).m_x[0], i + 1);
    EXPECT_EQ(Track(i).m_y[1], 2);
    EXPECT_EQ(Track(i).m_x[1], i + 1);
    EXPECT_EQ(Track(i).m_firstFrame, 1);
    EXPECT_EQ(Track(i).m_endFrame, 2);
  }
}

TEST_F(TrackLoaderLimits, TokenThatIsNotANumberEndsTheFile) {
  ASSERT_TRUE(Load("1 5  1 1  2 2  abc  3 3"));
  EXPECT_EQ(Track(0).m_firstFrame, 5);
  EXPECT_EQ(Track(0).m_endFrame, 7);
  EXPECT_EQ(Track(0).m_x[6], 2);
  EXPECT_EQ(Track(0).m_x[7], 0);
  EXPECT_EQ(Track(0).m_x[8], 0);
}

TEST_F(TrackLoaderLimits, NonNumberInsideARowDropsTheHalfRow) {
  ASSERT_TRUE(Load("1 5  1 1  2 -  3 3"));
  EXPECT_EQ(Track(0).m_endFrame, 6);
  EXPECT_EQ(Track(0).m_x[6], 0);
}

TEST_F(TrackLoaderLimits, LastRowWithOneNumberIsDroppedAndEndsTheFile) {
  ASSERT_TRUE(Load("2 5  1 1  2 2  3 3  4"));
  // The file ends inside frame 6: both trails end there.
  EXPECT_EQ(Track(0).m_endFrame, 6);
  EXPECT_EQ(Track(0).m_frameDiff, -1);
  EXPECT_EQ(Track(0).m_x[6], 3);
  EXPECT_EQ(Track(1).m_endFrame, 6);
  EXPECT_EQ(Track(1).m_x[6], 0);
  EXPECT_EQ(Track(1).m_y[6], 0);
}

TEST_F(TrackLoaderLimits, RowsBeforeFrameZeroAreReadAndDropped) {
  const TraceLines trace;
  ASSERT_TRUE(Load("1 -2  1000 1000  6 6  7 7  8 8"));
  EXPECT_TRUE(trace.Lines().empty());
  EXPECT_EQ(Track(0).m_enabled, 1);
  EXPECT_EQ(Track(0).m_x[0], 7);
  EXPECT_EQ(Track(0).m_x[1], 8);
  EXPECT_EQ(Track(0).m_firstFrame, 1);
  EXPECT_EQ(Track(0).m_endFrame, 2);
}

TEST_F(TrackLoaderLimits, LoadingStopsAtTheLastFrameOfTheArrays) {
  const TraceLines trace;
  ASSERT_TRUE(Load("1 498  1 1  2 2  3 3  1000 1000"));
  // The rows of frames 500 and 501 are never read: nothing disables the target.
  EXPECT_TRUE(trace.Lines().empty());
  EXPECT_EQ(Track(0).m_enabled, 1);
  EXPECT_EQ(Track(0).m_firstFrame, 498);
  EXPECT_EQ(Track(0).m_endFrame, MAX_TRACK_FRAMES);
  EXPECT_EQ(Track(0).m_frameDiff, -2);
  EXPECT_EQ(Track(0).m_x[499], 2);
}

TEST_F(TrackLoaderLimits, FirstFrameBeyondTheArraysStoresNothing) {
  ASSERT_TRUE(Load("1 10  5 5"));
  const TraceLines trace;
  ASSERT_TRUE(Load("1 2147483647  1000 1000"));
  EXPECT_TRUE(trace.Lines().empty());
  EXPECT_EQ(Track(0).m_x[10], 0);  // positions cleared, nothing new stored
  EXPECT_EQ(Track(0).m_firstFrame, 10);
  EXPECT_EQ(Track(0).m_endFrame, 11);
}

TEST_F(TrackLoaderLimits, EndOfFileBeforeFrameZeroNeverGivesANegativeEnd) {
  m_set.m_tracks[0].m_firstFrame = 7;  // started, still open
  ASSERT_TRUE(Load("1 -2147483648  5 5  6 6"));
  EXPECT_EQ(Track(0).m_endFrame, 0);
  EXPECT_EQ(Track(0).m_frameDiff, 7);
}

TEST_F(TrackLoaderLimits, EndOfFileClosesOnlyTargetsStillOpen) {
  m_set.m_tracks[4].m_firstFrame = 2;  // open, but beyond the count
  const TraceLines trace;
  ASSERT_TRUE(
      Load("4 1\n"
           "1 1  0 0  5 5  6 6\n"
           "2 2  0 0  0 0  1000 1\n"
           "3 3  0 0  7 7  6 6\n"));
  EXPECT_EQ(trace.Lines(), std::vector<std::string>{"Disabling target 3.\n"});
  // Present in the last frame.
  EXPECT_EQ(Track(0).m_endFrame, 4);
  EXPECT_EQ(Track(0).m_frameDiff, -3);
  // Never started.
  EXPECT_EQ(Track(1).m_firstFrame, 0);
  EXPECT_EQ(Track(1).m_endFrame, 0);
  EXPECT_EQ(Track(1).m_frameDiff, 0);
  // Ended earlier by an absent row; reappearing does not reopen it.
  EXPECT_EQ(Track(2).m_endFrame, 2);
  EXPECT_EQ(Track(2).m_frameDiff, -1);
  // Disabled but started and open: it is closed as well.
  EXPECT_EQ(Track(3).m_enabled, 0);
  EXPECT_EQ(Track(3).m_endFrame, 4);
  EXPECT_EQ(Track(4).m_endFrame, 0);
}

TEST_F(TrackLoaderLimits, FileEndingInsideAFrameClosesTrailsAtThatFrame) {
  ASSERT_TRUE(Load("2 5  1 1  2 2  3 3"));
  EXPECT_EQ(Track(0).m_endFrame, 6);
  EXPECT_EQ(Track(1).m_endFrame, 6);
  EXPECT_EQ(Track(0).m_x[6], 3);
}

TEST_F(TrackLoaderLimits, HugeIntegersSaturate) {
  const TraceLines trace;
  ASSERT_TRUE(Load("99999999999 3  1 1  99999999999 5  -99999999999 2"));
  EXPECT_EQ(m_set.m_count, MAX_TRACKS);
  EXPECT_EQ(trace.Lines(), std::vector<std::string>{"Disabling target 1.\n"});
  EXPECT_EQ(Track(1).m_enabled, 0);
  EXPECT_EQ(Track(2).m_enabled, 1);
  EXPECT_EQ(Track(2).m_x[3], INT_MIN);
  EXPECT_EQ(Track(2).m_y[3], 2);
  EXPECT_EQ(Track(2).m_endFrame, 3);
}

TEST_F(TrackLoaderLimits, BinaryGarbageEndsTheFileWhereNumbersStop) {
  ASSERT_TRUE(Load(std::string("1 2  3 4  \x01\xff\x00 5 6", 17)));
  EXPECT_EQ(m_set.m_count, 1);
  EXPECT_EQ(Track(0).m_x[2], 3);
  EXPECT_EQ(Track(0).m_x[3], 0);
  EXPECT_EQ(Track(0).m_endFrame, 3);
}

}  // namespace
