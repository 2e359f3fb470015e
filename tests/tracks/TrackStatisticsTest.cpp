// Scoring measured paths against the tracks, and the near-target test.

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <vector>

#include "tracks/TrackSet.h"

namespace {

constexpr double kSpan = 4294967295.0;  // INT_MAX - INT_MIN
constexpr double kNone = kNoTrackMatch;

// The scored track holds `track` (frame, x, y), and is disabled: it is read
// whatever the flag. The path has `length` frames at (0, 0) except at `path`.
struct ErrorCase {
  std::vector<std::array<int, 3>> track;
  std::vector<std::array<int, 3>> path;
  int from, to, index;
  double mean, variance;
  std::size_t length = MAX_TRACK_FRAMES;
};

TEST(TrackStatistics, TrackErrorIsMeanAndPopulationVarianceOfSquaredDistances) {
  // clang-format off
  const std::vector<ErrorCase> cases = {
      {{{10, 3, 4}, {11, 6, 8}}, {}, 10, 11, 1, 62.5, 1406.25},  // distances 25 and 100
      {{{7, 10, 20}}, {{7, 13, 16}}, 7, 7, 0, 25.0, 0.0},
      {{{2, 5, -6}, {499, 7, 8}}, {{2, 5, -6}, {499, 7, 8}}, 0, 499, 2, 0.0, 0.0},
      {{{0, 0, 2}}, {}, 0, 0, MAX_TRACKS - 1, 4.0, 0.0},  // beyond the count of 3
      {{{3, INT_MAX, INT_MIN}}, {{3, INT_MIN, INT_MAX}}, 3, 3, 0, 2 * kSpan * kSpan, 0.0},
      {{{19, 1, 0}}, {}, 19, 19, 0, 1.0, 0.0, 20},  // a path just long enough
      // What cannot be scored gives the sentinel and variance 0.
      {{}, {}, 5, 4, 0, kNone, 0.0},       {{}, {}, -1, 3, 0, kNone, 0.0},
      {{}, {}, 0, 500, 0, kNone, 0.0},     {{}, {}, INT_MIN, INT_MAX, 0, kNone, 0.0},
      {{}, {}, 0, 3, -1, kNone, 0.0},      {{}, {}, 0, 3, MAX_TRACKS, kNone, 0.0},
      {{}, {}, 0, 20, 0, kNone, 0.0, 20},  // the path one frame short
  };
  // clang-format on
  for (const ErrorCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "track " << c.index << ", " << c.from << ".." << c.to);
    CTrackSet set;
    set.m_count = 3;
    std::vector<int> xs(c.length, 0);
    std::vector<int> ys(c.length, 0);
    for (const auto [frame, x, y] : c.path) {
      xs[frame] = x;
      ys[frame] = y;
    }
    for (const auto [frame, x, y] : c.track) {  // empty for indexes outside the table
      set.m_tracks[c.index].SetPoint(x, y, frame);
      set.m_tracks[c.index].m_enabled = 0;
    }
    double variance = -1.0;
    EXPECT_EQ(set.TrackError(xs, ys, c.from, c.to, c.index, &variance), c.mean);
    EXPECT_EQ(variance, c.variance);
    EXPECT_EQ(set.TrackError(xs, ys, c.from, c.to, c.index, nullptr), c.mean);
  }
  // Either span too short is refused.
  const CTrackSet set;
  const std::vector<int> full(MAX_TRACK_FRAMES, 0);
  const std::vector<int> cut(20, 0);
  EXPECT_EQ(set.TrackError(full, cut, 0, 20, 0, nullptr), kNone);
  EXPECT_EQ(set.TrackError(cut, full, 0, 20, 0, nullptr), kNone);
}

TEST(TrackStatistics, BestMatchTakesTheLowestMeanOfEnabledTracksInUse) {
  CTrackSet set;
  set.m_count = 3;
  const std::vector<int> path(MAX_TRACK_FRAMES, 0);
  double variance = -1.0;
  // Over frames 10 and 11 against the path at (0, 0): squared distances 25
  // and 100 for one placing, 121 and 4 for the other; both means are 62.5.
  const auto place = [&set](int track, int x10, int y10, int x11, int y11) {
    set.m_tracks[track].SetPoint(x10, y10, 10);
    set.m_tracks[track].SetPoint(x11, y11, 11);
  };
  // Track 0 would match exactly but is disabled; track 3 would but is not in use.
  set.m_tracks[0].m_enabled = 0;
  place(1, 3, 4, 6, 8);
  place(2, 11, 0, 0, 2);
  EXPECT_EQ(set.BestMatch(path, path, 10, 11, &variance), 62.5);
  EXPECT_EQ(variance, 1406.25);
  place(1, 11, 0, 0, 2);
  place(2, 3, 4, 6, 8);
  EXPECT_EQ(set.BestMatch(path, path, 10, 11, &variance), 62.5);
  EXPECT_EQ(variance, 3422.25);
  place(2, 3, 4, 3, 4);  // a strictly lower mean wins from a higher index
  EXPECT_EQ(set.BestMatch(path, path, 10, 11, &variance), 25.0);
  EXPECT_EQ(variance, 0.0);
  EXPECT_EQ(set.BestMatch(path, path, 11, 10, &variance), kNone);

  // Only disabled tracks, or a mean not below the sentinel: no match.
  set.m_tracks[1].m_enabled = 0;
  set.m_tracks[2].m_enabled = 0;
  variance = -1.0;
  EXPECT_EQ(set.BestMatch(path, path, 0, 9, &variance), kNone);
  EXPECT_EQ(variance, 0.0);
  set.m_tracks[1].m_enabled = 1;
  set.m_tracks[1].SetPoint(INT_MAX, INT_MAX, 0);
  variance = -1.0;
  EXPECT_EQ(set.BestMatch(path, path, 0, 0, &variance), kNone);
  EXPECT_EQ(variance, 0.0);

  // A count above the table is read as the table.
  CTrackSet wide;
  wide.m_count = 1000;
  for (int i = 0; i < MAX_TRACKS; ++i) {
    wide.m_tracks[i].SetPoint(100 - i, 0, 0);
  }
  EXPECT_EQ(wide.BestMatch(path, path, 0, 0, nullptr), 51.0 * 51.0);
  wide.m_tracks[MAX_TRACKS - 1].m_enabled = 0;
  EXPECT_TRUE(wide.NearDisabledTarget(51, 0, 0, 1.0));
}

TEST(TrackStatistics, NearDisabledTargetNeedsADisabledTargetInUseStrictlyCloser) {
  CTrackSet set;
  set.m_count = 3;
  set.m_tracks[0].SetPoint(100, 100, 20);  // enabled
  set.m_tracks[1].m_enabled = 0;
  set.m_tracks[1].SetPoint(3, 4, 20);
  set.m_tracks[1].SetPoint(INT_MAX, INT_MAX, 5);
  set.m_tracks[3].m_enabled = 0;  // not in use
  set.m_tracks[3].SetPoint(50, 50, 20);
  const struct {
    int x, y, frame;
    double threshold;
    bool near;
  } cases[] = {
      // clang-format off
      {0, 0, 20, 5.0, false},   {0, 0, 20, 5.5, true},      {100, 100, 20, 5.5, false},
      {50, 50, 20, 1.0, false}, {3, 4, 20, 1.0, true},      {3, 4, 21, 1.0, false},
      {3, 4, 20, 0.0, false},   {3, 4, 20, -1.0, false},    {3, 4, 20, std::nan(""), false},
      {0, 0, 499, 1.0, true},   {0, 0, -1, 1.0, false},     {0, 0, 500, 1.0, false},
      {0, 0, INT_MIN, 1.0, false},
      // sqrt(2) * (INT_MAX - INT_MIN) is about 6.07e9.
      {INT_MIN, INT_MIN, 5, 6.0e9, false}, {INT_MIN, INT_MIN, 5, 6.1e9, true},
      {INT_MAX - 1, INT_MAX, 5, 1.5, true},
      // clang-format on
  };
  for (const auto& c : cases) {
    EXPECT_EQ(set.NearDisabledTarget(c.x, c.y, c.frame, c.threshold), c.near)
        << "(" << c.x << ", " << c.y << ") at frame " << c.frame << ", threshold " << c.threshold;
  }
}

}  // namespace
