#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

#include "tracks/TrackSet.h"

namespace {

// A measured path over all frames, at (0, 0) unless set.
struct Path {
  std::vector<int> xs = std::vector<int>(MAX_TRACK_FRAMES, 0);
  std::vector<int> ys = std::vector<int>(MAX_TRACK_FRAMES, 0);
};

class TrackStatistics : public ::testing::Test {
 protected:
  TrackStatistics() { m_set.m_count = 3; }

  CTrackSet m_set;
  Path m_path;
};

TEST_F(TrackStatistics, TrackErrorIsMeanAndPopulationVarianceOfSquaredDistances) {
  m_set.m_tracks[1].SetPoint(3, 4, 10);
  m_set.m_tracks[1].SetPoint(6, 8, 11);
  double variance = -1.0;
  EXPECT_EQ(m_set.TrackError(m_path.xs, m_path.ys, 10, 11, 1, &variance), 62.5);
  EXPECT_EQ(variance, 1406.25);
}

TEST_F(TrackStatistics, TrackErrorOfOneFrameHasNoVariance) {
  m_set.m_tracks[0].SetPoint(10, 20, 7);
  m_path.xs[7] = 13;
  m_path.ys[7] = 16;
  double variance = -1.0;
  EXPECT_EQ(m_set.TrackError(m_path.xs, m_path.ys, 7, 7, 0, &variance), 25.0);
  EXPECT_EQ(variance, 0.0);
}

TEST_F(TrackStatistics, PathEqualToTheTrackScoresZero) {
  for (int k = 0; k < MAX_TRACK_FRAMES; ++k) {
    m_set.m_tracks[2].SetPoint(k, 2 * k - 300, k);
    m_path.xs[k] = k;
    m_path.ys[k] = 2 * k - 300;
  }
  double variance = -1.0;
  EXPECT_EQ(m_set.TrackError(m_path.xs, m_path.ys, 0, MAX_TRACK_FRAMES - 1, 2, &variance), 0.0);
  EXPECT_EQ(variance, 0.0);
}

TEST_F(TrackStatistics, TrackErrorReadsDisabledTracksAndTracksBeyondTheCount) {
  m_set.m_tracks[0].SetPoint(3, 4, 0);
  m_set.m_tracks[0].m_enabled = 0;
  m_set.m_tracks[MAX_TRACKS - 1].SetPoint(0, 2, 0);
  EXPECT_EQ(m_set.TrackError(m_path.xs, m_path.ys, 0, 0, 0, nullptr), 25.0);
  EXPECT_EQ(m_set.TrackError(m_path.xs, m_path.ys, 0, 0, MAX_TRACKS - 1, nullptr), 4.0);
}

TEST_F(TrackStatistics, TrackErrorRejectsWhatItCannotScore) {
  const std::vector<int> shortPath(20, 0);
  struct Case {
    int from;
    int to;
    int track;
  };
  for (const Case c : {Case{5, 4, 0}, Case{-1, 3, 0}, Case{0, MAX_TRACK_FRAMES, 0},
                       Case{INT_MIN, INT_MAX, 0}, Case{0, 3, -1}, Case{0, 3, MAX_TRACKS}}) {
    SCOPED_TRACE(testing::Message() << c.from << ".." << c.to << " track " << c.track);
    double variance = -1.0;
    EXPECT_EQ(m_set.TrackError(m_path.xs, m_path.ys, c.from, c.to, c.track, &variance),
              kNoTrackMatch);
    EXPECT_EQ(variance, 0.0);
  }
  double variance = -1.0;
  EXPECT_EQ(m_set.TrackError(shortPath, m_path.ys, 0, 20, 0, &variance), kNoTrackMatch);
  EXPECT_EQ(m_set.TrackError(m_path.xs, shortPath, 0, 20, 0, &variance), kNoTrackMatch);
  EXPECT_EQ(variance, 0.0);
  EXPECT_EQ(m_set.TrackError(shortPath, shortPath, 0, 19, 0, &variance), 0.0);
}

TEST_F(TrackStatistics, FarApartCoordinatesGiveTheTrueDistance) {
  m_set.m_tracks[0].SetPoint(INT_MAX, INT_MIN, 3);
  m_path.xs[3] = INT_MIN;
  m_path.ys[3] = INT_MAX;
  const double span = 4294967295.0;  // INT_MAX - INT_MIN
  EXPECT_EQ(m_set.TrackError(m_path.xs, m_path.ys, 3, 3, 0, nullptr), 2 * span * span);
}

TEST_F(TrackStatistics, BestMatchKeepsTheLowerIndexOnEqualMeans) {
  // Over frames 10 and 11 against the path at (0, 0): squared distances 25
  // and 100 for one track, 121 and 4 for the other; both means are 62.5.
  const auto place = [this](int track, int x10, int y10, int x11, int y11) {
    m_set.m_tracks[track].SetPoint(x10, y10, 10);
    m_set.m_tracks[track].SetPoint(x11, y11, 11);
  };
  // Track 0 matches exactly but is disabled; track 3 matches exactly but lies
  // beyond the count.
  m_set.m_tracks[0].m_enabled = 0;
  place(1, 3, 4, 6, 8);
  place(2, 11, 0, 0, 2);
  double variance = -1.0;
  EXPECT_EQ(m_set.BestMatch(m_path.xs, m_path.ys, 10, 11, &variance), 62.5);
  EXPECT_EQ(variance, 1406.25);

  place(1, 11, 0, 0, 2);
  place(2, 3, 4, 6, 8);
  EXPECT_EQ(m_set.BestMatch(m_path.xs, m_path.ys, 10, 11, &variance), 62.5);
  EXPECT_EQ(variance, 3422.25);

  // A strictly lower mean wins from a higher index.
  place(2, 3, 4, 3, 4);
  EXPECT_EQ(m_set.BestMatch(m_path.xs, m_path.ys, 10, 11, &variance), 25.0);
  EXPECT_EQ(variance, 0.0);
}

TEST_F(TrackStatistics, BestMatchWithoutACandidateGivesTheSentinel) {
  double variance = -1.0;
  m_set.m_count = 0;
  EXPECT_EQ(m_set.BestMatch(m_path.xs, m_path.ys, 0, 9, &variance), kNoTrackMatch);
  EXPECT_EQ(variance, 0.0);

  m_set.m_count = 3;
  for (int i = 0; i < 3; ++i) {
    m_set.m_tracks[i].m_enabled = 0;
  }
  variance = -1.0;
  EXPECT_EQ(m_set.BestMatch(m_path.xs, m_path.ys, 0, 9, &variance), kNoTrackMatch);
  EXPECT_EQ(variance, 0.0);

  // An enabled track whose mean is not below the sentinel is no match either.
  m_set.m_tracks[1].m_enabled = 1;
  m_set.m_tracks[1].SetPoint(INT_MAX, INT_MAX, 0);
  variance = -1.0;
  EXPECT_EQ(m_set.BestMatch(m_path.xs, m_path.ys, 0, 0, &variance), kNoTrackMatch);
  EXPECT_EQ(variance, 0.0);

  // Nor is a range that cannot be scored.
  EXPECT_EQ(m_set.BestMatch(m_path.xs, m_path.ys, 9, 0, &variance), kNoTrackMatch);
  EXPECT_EQ(m_set.BestMatch(m_path.xs, m_path.ys, 0, 9, nullptr), kNoTrackMatch);
}

TEST_F(TrackStatistics, CountAboveTheTableIsReadAsTheTable) {
  m_set.m_count = 1000;
  for (int i = 0; i < MAX_TRACKS; ++i) {
    m_set.m_tracks[i].SetPoint(100 - i, 0, 0);
  }
  double variance = -1.0;
  EXPECT_EQ(m_set.BestMatch(m_path.xs, m_path.ys, 0, 0, &variance), 51.0 * 51.0);
  m_set.m_tracks[MAX_TRACKS - 1].m_enabled = 0;
  EXPECT_TRUE(m_set.NearDisabledTarget(51, 0, 0, 1.0));
}

TEST_F(TrackStatistics, NearDisabledTargetNeedsADisabledTargetStrictlyCloser) {
  m_set.m_tracks[0].SetPoint(3, 4, 20);  // enabled: ignored
  EXPECT_FALSE(m_set.NearDisabledTarget(0, 0, 20, 5.5));

  m_set.m_tracks[1].SetPoint(3, 4, 20);
  m_set.m_tracks[1].m_enabled = 0;
  EXPECT_FALSE(m_set.NearDisabledTarget(0, 0, 20, 5.0));
  EXPECT_TRUE(m_set.NearDisabledTarget(0, 0, 20, 5.5));
  // The frame picks the position: at frame 21 the target has none, (0, 0).
  EXPECT_TRUE(m_set.NearDisabledTarget(3, 4, 20, 1.0));
  EXPECT_FALSE(m_set.NearDisabledTarget(3, 4, 21, 1.0));

  EXPECT_FALSE(m_set.NearDisabledTarget(3, 4, 20, 0.0));
  EXPECT_FALSE(m_set.NearDisabledTarget(3, 4, 20, -1.0));
  EXPECT_FALSE(m_set.NearDisabledTarget(3, 4, 20, std::nan("")));
}

TEST_F(TrackStatistics, NearDisabledTargetLooksOnlyAtTargetsInUseAndFramesInTheArrays) {
  m_set.m_tracks[3].m_enabled = 0;  // beyond the count of 3
  EXPECT_FALSE(m_set.NearDisabledTarget(0, 0, 0, 1.0));

  m_set.m_tracks[2].m_enabled = 0;
  EXPECT_TRUE(m_set.NearDisabledTarget(0, 0, 0, 1.0));
  EXPECT_TRUE(m_set.NearDisabledTarget(0, 0, MAX_TRACK_FRAMES - 1, 1.0));
  EXPECT_FALSE(m_set.NearDisabledTarget(0, 0, -1, 1.0));
  EXPECT_FALSE(m_set.NearDisabledTarget(0, 0, MAX_TRACK_FRAMES, 1.0));
  EXPECT_FALSE(m_set.NearDisabledTarget(0, 0, INT_MIN, 1.0));
}

TEST_F(TrackStatistics, NearDisabledTargetMeasuresHugeDistancesTruly) {
  m_set.m_tracks[0].m_enabled = 0;
  m_set.m_tracks[0].SetPoint(INT_MAX, INT_MAX, 5);
  // The distance is sqrt(2) * 4294967295, about 6.07e9.
  EXPECT_FALSE(m_set.NearDisabledTarget(INT_MIN, INT_MIN, 5, 6.0e9));
  EXPECT_TRUE(m_set.NearDisabledTarget(INT_MIN, INT_MIN, 5, 6.1e9));
  // One unit apart at the very top of the range.
  EXPECT_TRUE(m_set.NearDisabledTarget(INT_MAX - 1, INT_MAX, 5, 1.5));
}

}  // namespace
