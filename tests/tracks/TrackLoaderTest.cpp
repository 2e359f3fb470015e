// The track file's rules (starts, ends, absent and out-of-range rows, what a
// later load keeps), files it cannot trust, and files it cannot open.

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "TrackTestSupport.h"

namespace {

using tracks_test::Load;
using tracks_test::StateOf;
using tracks_test::TraceLines;

struct Expected {
  int target;
  std::array<int, 4> trail;                  // first, end, difference, enabled
  std::vector<std::array<int, 3>> points{};  // frame, x, y
};

// One load of `file` and what it must leave behind, `trace` being every trace
// line it writes. Before it, the file `before` (if any) is loaded, and the
// track `open` (if any) is set started at frame 7 and not ended.
struct LoadCase {
  const char* what;
  std::string file;
  int count;
  std::vector<Expected> targets;
  std::vector<std::string> trace{};
  std::string before{};
  int open = -1;
};

void ExpectLoads(const std::vector<LoadCase>& cases) {
  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.what);
    CTrackSet set;
    if (c.open >= 0) {
      set.m_tracks[c.open].m_firstFrame = 7;
    }
    if (!c.before.empty()) {
      const TraceLines quiet;
      ASSERT_TRUE(Load(set, c.before));
    }
    const TraceLines trace;
    ASSERT_TRUE(Load(set, c.file));
    EXPECT_EQ(set.m_count, c.count);
    EXPECT_EQ(trace.Lines(), c.trace);
    for (const Expected& e : c.targets) {
      const CTrack& t = set.m_tracks[e.target];
      EXPECT_EQ((std::array{t.m_firstFrame, t.m_endFrame, t.m_frameDiff, t.m_enabled}), e.trail)
          << "target " << e.target;
      for (const auto [frame, x, y] : e.points) {
        EXPECT_EQ((std::array{t.m_x[frame], t.m_y[frame]}), (std::array{x, y}))
            << "target " << e.target << " at frame " << frame;
      }
    }
  }
}

// 52 targets over frames 0 and 1: target i at (i + 1, frame + 1), while the two
// beyond the table carry rows that would disable them.
std::string FiftyTwoTargets() {
  std::string text = "52 0\n";
  for (int frame = 0; frame < 2; ++frame) {
    for (int i = 0; i < 52; ++i) {
      text += i < MAX_TRACKS ? std::to_string(i + 1) + " " + std::to_string(frame + 1) + "\n"
                             : "1000 1000\n";
    }
  }
  return text;
}

// clang-format off
TEST(TrackLoader, RowsStartEndAndDisableTargets) {
  ExpectLoads({
      {"present to the end: ends after its last frame", "1 3\n10 10\n11 11\n12 12\n", 1,
       {{0, {3, 6, -3, 1}, {{2, 0, 0}, {3, 10, 10}, {4, 11, 11}, {5, 12, 12}, {6, 0, 0}}}}},
      {"an absent row ends a trail; a target starts late", "2 1  5 5  0 0  6 6  7 7  0 0  8 8", 2,
       {{0, {1, 3, -2, 1}, {{1, 5, 5}, {2, 6, 6}, {3, 0, 0}}},
        {1, {2, 4, -2, 1}, {{1, 0, 0}, {2, 7, 7}, {3, 8, 8}}}}},
      {"a row above 999 disables its target only", "3 10  1 1  2 2  1000 5  3 3  4 4  6 6", 3,
       {{1, {10, 12, -2, 1}, {{10, 2, 2}, {11, 4, 4}}},
        {2, {11, 12, -1, 0}, {{10, 0, 0}, {11, 0, 0}}}},
       {"Disabling target 2.\n"}},
      {"every out-of-range row is traced; positions before it stay",
       "2 5  8 8  1 1  1000 1  2 2  7 7  3 3  5 2000  4 4", 2,
       {{0, {5, 9, -4, 0}, {{5, 8, 8}, {6, 0, 0}, {7, 0, 0}, {8, 0, 0}}},
        {1, {5, 9, -4, 1}, {{8, 4, 4}}}},
       {"Disabling target 0.\n", "Disabling target 0.\n"}},
      {"999 and negative coordinates are positions", "3 4  999 999  -5 7  0 9", 3,
       {{0, {4, 5, -1, 1}, {{4, 999, 999}}}, {1, {4, 5, -1, 1}, {{4, -5, 7}}},
        {2, {4, 5, -1, 1}, {{4, 0, 9}}}}},
      {"a position at frame 0 is stored but starts nothing", "1 0  4 4  5 5", 1,
       {{0, {1, 2, -1, 1}, {{0, 4, 4}, {1, 5, 5}}}}},
      {"an absent row after frame 0 ends nothing", "1 0  4 4  0 0  6 6", 1,
       {{0, {2, 3, -1, 1}, {{0, 4, 4}, {1, 0, 0}, {2, 6, 6}}}}},
      {"positions after the end are stored", "1 20  1 2  0 0  3 4  0 0  5 6", 1,
       {{0, {20, 21, -1, 1}, {{22, 3, 4}, {24, 5, 6}}}}},
      {"a reload keeps starts and ends, replaces positions", "2 1  30 30  40 40  31 31  0 0", 2,
       {{0, {3, 4, -1, 1}, {{1, 30, 30}, {2, 31, 31}, {3, 0, 0}}},
        {1, {3, 5, -2, 1}, {{1, 40, 40}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}}}},
       {}, "2 3  10 10  20 20  0 0  21 21"},
      {"a target disabled earlier stays so, storing nothing", "1 5  8 8  9 9  10 10", 1,
       {{0, {5, 7, -2, 0}, {{5, 0, 0}, {6, 0, 0}, {7, 0, 0}}}}, {}, "1 5  8 8  1000 1"},
  });
}

TEST(TrackLoader, UntrustedFilesEndWhereNumbersStopAndFramesLeaveTheArrays) {
  ExpectLoads({
      {"a non-number ends the file", "1 5  1 1  2 2  abc  3 3", 1,
       {{0, {5, 7, -2, 1}, {{6, 2, 2}, {7, 0, 0}, {8, 0, 0}}}}},
      {"a half row before a non-number is dropped", "1 5  1 1  2 -  3 3", 1,
       {{0, {5, 6, -1, 1}, {{6, 0, 0}}}}},
      {"binary garbage ends the file", std::string("1 2  3 4  \x01\xff\x00 5 6", 17), 1,
       {{0, {2, 3, -1, 1}, {{2, 3, 4}, {3, 0, 0}}}}},
      {"a last row of one number is dropped; trails end in its frame", "2 5  1 1  2 2  3 3  4", 2,
       {{0, {5, 6, -1, 1}, {{6, 3, 3}}}, {1, {5, 6, -1, 1}, {{6, 0, 0}}}}},
      {"rows before frame 0 are read and dropped", "1 -2  1000 1000  6 6  7 7  8 8", 1,
       {{0, {1, 2, -1, 1}, {{0, 7, 7}, {1, 8, 8}}}}},
      {"loading stops at the arrays' last frame", "1 498  1 1  2 2  3 3  1000 1000", 1,
       {{0, {498, 500, -2, 1}, {{498, 1, 1}, {499, 2, 2}}}}},
      {"rows of targets beyond the table are read and dropped", FiftyTwoTargets(), MAX_TRACKS,
       {{0, {1, 2, -1, 1}, {{0, 1, 1}, {1, 1, 2}}}, {49, {1, 2, -1, 1}, {{0, 50, 1}, {1, 50, 2}}}}},
      {"huge integers saturate", "99999999999 3  1 1  99999999999 5  -99999999999 2", MAX_TRACKS,
       {{0, {3, 3, 0, 1}, {{3, 1, 1}}}, {1, {0, 0, 0, 0}, {{3, 0, 0}}},
        {2, {3, 3, 0, 1}, {{3, INT_MIN, 2}}}},
       {"Disabling target 1.\n"}},
      {"the end closes every started, open target in use",
       "4 1  1 1 0 0 5 5 6 6  2 2 0 0 0 0 1000 1  3 3 0 0 7 7 6 6", 4,
       {{0, {1, 4, -3, 1}}, {1, {0, 0, 0, 1}}, {2, {1, 2, -1, 1}}, {3, {1, 4, -3, 0}},
        {4, {7, 0, 0, 1}}},
       {"Disabling target 3.\n"}, {}, 4},
      {"an end before frame 0 becomes 0", "1 -2147483648  5 5  6 6", 1, {{0, {7, 0, 7, 1}}},
       {}, {}, 0},
      {"a first frame beyond the arrays reads nothing", "1 2147483647  1000 1000", 1,
       {{0, {7, 500, -493, 1}}}, {}, {}, 0},
  });
}
// clang-format on

TEST(TrackLoader, NoCountOrNoTargetsChangesOnlyTheCount) {
  for (const char* text : {"0 5  1000 1  1 1", "-3 5  1000 1", "", "  \n", "3", "x 2 1 1", "3 y"}) {
    SCOPED_TRACE(text);
    CTrackSet set;
    ASSERT_TRUE(Load(set, "2 4  1 2  3 4  0 0  5 6"));
    std::vector<int> expected = StateOf(set);
    expected[0] = 0;
    const TraceLines trace;
    EXPECT_TRUE(Load(set, text));
    EXPECT_EQ(StateOf(set), expected);
    EXPECT_TRUE(trace.Lines().empty());
  }
}

// LoadTrueTracks reads "truetracks.txt" in the current folder.
TEST(TrackLoader, FilesThatCannotBeOpenedChangeNothing) {
  CTrackSet set;
  const TraceLines trace;
  ASSERT_TRUE(Load(set, "2 7  1 2  3 4  0 0  1000 1"));
  const std::vector<int> before = StateOf(set);
  const TempDir folder;
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder.Path());
  // No track file, a missing file, a folder, a device that reads as empty.
  EXPECT_FALSE(set.LoadTrueTracks());
  for (const char* path : {"missing.txt", ".", "/dev/null"}) {
    EXPECT_FALSE(set.LoadTrueTracksFrom(path)) << path;
  }
  EXPECT_FALSE(set.LoadTrueTracksFrom(nullptr));
  EXPECT_EQ(StateOf(set), before);
  EXPECT_EQ(trace.Lines(), std::vector<std::string>{"Disabling target 1.\n"});

  tracks_test::WriteTrackFile(folder, "1 2  7 8", "truetracks.txt");
  EXPECT_TRUE(set.LoadTrueTracks());
  std::filesystem::current_path(previous);
  EXPECT_EQ(set.m_count, 1);
  EXPECT_EQ((std::array{set.m_tracks[0].m_x[2], set.m_tracks[0].m_y[2]}), (std::array{7, 8}));
}

}  // namespace
