// The overlays painted straight into a 320 x 240 frame buffer: where a block
// lands, that no position whatever writes outside the buffer or wraps into the
// neighbouring row, and which tracks and frames are painted.

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "PlayerTestSupport.h"
#include "player/TrackOverlays.h"
#include "tracks/TrackSet.h"

using namespace player_test;

namespace {

constexpr std::size_t kGuardBytes = 4096;
constexpr std::uint8_t kGuard = 0xA5;
constexpr OverlayColour kPaint{11, 22, 33};

// A frame buffer with guard bytes on either side, to show any write outside
// the span the overlays are given.
class GuardedFrame {
 public:
  GuardedFrame() : m_bytes(kGuardBytes + kFrameBytes + kGuardBytes, kGuard) { Clear(); }

  std::span<std::uint8_t> Frame() { return {m_bytes.data() + kGuardBytes, kFrameBytes}; }
  std::span<const std::uint8_t> Frame() const {
    return {m_bytes.data() + kGuardBytes, kFrameBytes};
  }
  void Clear() { std::fill_n(m_bytes.begin() + kGuardBytes, kFrameBytes, std::uint8_t{0}); }
  // Clears picture rows top..bottom (counted from the top), as far as they exist.
  void ClearRows(long long top, long long bottom) {
    for (long long row = std::max(top, 0LL); row <= std::min(bottom, 239LL); ++row)
      std::fill_n(Frame().begin() + static_cast<std::ptrdiff_t>(OffsetOf(0, static_cast<int>(row))),
                  kRowBytes, std::uint8_t{0});
  }

  // Pixels that are no longer black.
  int PaintedPixels() const {
    return DifferentPixels(Frame(), std::vector<std::uint8_t>(kFrameBytes, 0));
  }

  bool GuardsIntact() const {
    const auto isGuard = [](std::uint8_t b) { return b == kGuard; };
    return std::all_of(m_bytes.begin(), m_bytes.begin() + kGuardBytes, isGuard) &&
           std::all_of(m_bytes.end() - kGuardBytes, m_bytes.end(), isGuard);
  }

 private:
  std::vector<std::uint8_t> m_bytes;
};

bool Painted(std::span<const std::uint8_t> frame, int x, int y) {
  const std::size_t o = OffsetOf(x, y);
  return frame[o] == kPaint.blue && frame[o + 1] == kPaint.green && frame[o + 2] == kPaint.red;
}

// Checks the block just painted at (x, y): across the whole width of picture
// rows y - size .. y + 1 (every row a wrapped or misplaced write would
// reach), the pixels of the block's part inside the picture are painted and
// no others.
::testing::AssertionResult BlockClipped(std::span<const std::uint8_t> frame, int x, int y,
                                        int size) {
  const long long top = static_cast<long long>(y) - size;
  const long long bottom = static_cast<long long>(y) + 1;
  for (long long row = std::max(top, 0LL); row <= std::min(bottom, 239LL); ++row) {
    for (int column = 0; column < kWidth; ++column) {
      const bool inside = column >= static_cast<long long>(x) &&
                          column <= static_cast<long long>(x) + size - 1 &&
                          row >= static_cast<long long>(y) - size + 1 && row <= y;
      if (Painted(frame, column, static_cast<int>(row)) != inside) {
        return ::testing::AssertionFailure()
               << "block at (" << x << ", " << y << ") size " << size << ": pixel (" << column
               << ", " << row << ") is " << (inside ? "not painted" : "painted");
      }
    }
  }
  return ::testing::AssertionSuccess();
}

// Paints one block and checks it: guards, the band of rows around it, and
// every 50th time the whole buffer's painted pixel count, which also catches a
// stray write outside the band left from an earlier block. Only the band is
// cleared afterwards, to keep the sweep fast.
void CheckBlock(GuardedFrame& buffer, int x, int y, int size, int& checks) {
  PaintBlock(buffer.Frame(), kWidth, x, y, size, kPaint);
  ASSERT_TRUE(buffer.GuardsIntact()) << "block at (" << x << ", " << y << ")";
  ASSERT_TRUE(BlockClipped(buffer.Frame(), x, y, size));
  if (++checks % 50 == 0) {
    const long long columns =
        std::max(0LL, std::min<long long>(x + size - 1, kWidth - 1) - std::max(x, 0) + 1);
    const long long rows =
        std::max(0LL, std::min<long long>(y, 239) - std::max<long long>(y - size + 1, 0) + 1);
    ASSERT_EQ(buffer.PaintedPixels(), columns * rows) << "block at (" << x << ", " << y << ")";
  }
  buffer.ClearRows(static_cast<long long>(y) - size, static_cast<long long>(y) + 1);
}

}  // namespace

TEST(TrackOverlays, BlocksAreCutOffAtEveryEdgeForPositionsFromMinus1000To1000) {
  GuardedFrame buffer;
  int checks = 0;
  const std::vector<int> rowsAcross = {-1000, -11, -1,  0,   1,   5,   9,   10,
                                       120,   230, 238, 239, 240, 249, 1000};
  const std::vector<int> columnsAcross = {-1000, -10, -9,  -1,  0,   1,   160,
                                          310,   311, 317, 319, 320, 1000};
  for (const int size : {kTrailSize, kMarkerSize}) {
    for (int position = -1000; position <= 1000; ++position) {
      for (const int y : rowsAcross) {
        if (position == 0 && y == 0)
          continue;
        CheckBlock(buffer, position, y, size, checks);
        if (::testing::Test::HasFatalFailure())
          return;
      }
      for (const int x : columnsAcross) {
        if (x == 0 && position == 0)
          continue;
        CheckBlock(buffer, x, position, size, checks);
        if (::testing::Test::HasFatalFailure())
          return;
      }
    }
  }
  EXPECT_GT(checks, 100000);
}

TEST(TrackOverlays, NoPositionPaintsNothingAndHugeCoordinatesStayOutside) {
  GuardedFrame buffer;
  const std::vector<int> huge = {INT_MIN, INT_MIN + 1, -1000000, 1000000, INT_MAX - 9, INT_MAX};
  for (const int size : {kTrailSize, kMarkerSize}) {
    PaintBlock(buffer.Frame(), kWidth, 0, 0, size, kPaint);
    for (const int a : huge) {
      for (const int b : huge) {
        PaintBlock(buffer.Frame(), kWidth, a, b, size, kPaint);
      }
      for (const int inside : {5, 100, 239}) {
        PaintBlock(buffer.Frame(), kWidth, a, inside, size, kPaint);
        PaintBlock(buffer.Frame(), kWidth, inside, a, size, kPaint);
      }
    }
  }
  EXPECT_TRUE(buffer.GuardsIntact());
  EXPECT_EQ(buffer.PaintedPixels(), 0);

  // Only both coordinates 0 mean "no position": (0, 5) and (5, 0) paint.
  PaintBlock(buffer.Frame(), kWidth, 0, 5, kTrailSize, kPaint);
  PaintBlock(buffer.Frame(), kWidth, 5, 0, kTrailSize, kPaint);
  EXPECT_TRUE(BlockClipped(buffer.Frame(), 0, 5, kTrailSize));
  EXPECT_EQ(buffer.PaintedPixels(), 9 + 3);
}

TEST(TrackOverlays, BlockSquaresGrowRightAndUpFromTheirPosition) {
  GuardedFrame buffer;
  PaintBlock(buffer.Frame(), kWidth, 100, 50, kTrailSize, kTrailColour);
  const auto frame = buffer.Frame();
  EXPECT_EQ(frame[181740], 0);
  EXPECT_EQ(frame[181741], 255);
  EXPECT_EQ(frame[181742], 0);
  int painted = 0;
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      const bool inside = x >= 100 && x <= 102 && y >= 48 && y <= 50;
      EXPECT_EQ(PictureAt(frame, x, y) == kGreen, inside) << x << ", " << y;
      painted += inside;
    }
  }
  EXPECT_EQ(painted, 9);
}

namespace {

// A set that says `count` tracks are in use, each of its 50 tracks with a
// three-square trail over frames 1..3 at its own place.
void FillSet(CTrackSet& set, int count) {
  set.m_count = count;
  for (int i = 0; i < MAX_TRACKS; ++i) {
    CTrack& track = set.m_tracks[i];
    track.m_firstFrame = 1;
    track.m_endFrame = 4;
    track.SetPoint(i * 6 + 1, 12 + (i % 10) * 20, 1);
    track.SetPoint(i * 6 + 2, 12 + (i % 10) * 20, 2);
    track.SetPoint(i * 6 + 3, 12 + (i % 10) * 20, 3);
  }
}

}  // namespace

TEST(TrackOverlays, MarkersCoverTrailsOfEveryTrack) {
  CTrackSet set;
  set.m_count = 2;
  // Track 1's trail runs through track 0's marker.
  set.m_tracks[0].m_firstFrame = 7;
  set.m_tracks[0].m_endFrame = 8;
  set.m_tracks[0].SetPoint(200, 100, 7);
  set.m_tracks[0].SetPoint(50, 60, 9);
  set.m_tracks[1].m_firstFrame = 7;
  set.m_tracks[1].m_endFrame = 9;
  set.m_tracks[1].SetPoint(52, 58, 7);
  set.m_tracks[1].SetPoint(57, 60, 8);

  GuardedFrame buffer;
  DrawTrails(buffer.Frame(), kWidth, set);
  EXPECT_EQ(PictureAt(buffer.Frame(), 52, 58), kGreen);
  EXPECT_EQ(PictureAt(buffer.Frame(), 200, 100), kGreen);
  DrawMarkers(buffer.Frame(), kWidth, 9, set);
  EXPECT_EQ(PictureAt(buffer.Frame(), 52, 58), kRed);
  // Track 1's squares (columns 52..59, rows 56..60) lie inside track 0's
  // marker (columns 50..59, rows 51..60), which is painted after every trail.
  for (int x = 50; x <= 59; ++x) {
    for (int y = 51; y <= 60; ++y)
      EXPECT_EQ(PictureAt(buffer.Frame(), x, y), kRed) << x << ", " << y;
  }
  EXPECT_EQ(PictureAt(buffer.Frame(), 200, 100), kGreen) << "the trail of the marker's own track";
  // Track 1 has no position at frame 9: only track 0's marker is there.
  EXPECT_EQ(buffer.PaintedPixels(), 9 + 100);
  EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(TrackOverlays, ACountBeyondTheTableLooksAtTheFiftyTracksOnly) {
  CTrackSet set;
  GuardedFrame buffer;
  for (const int count : {MAX_TRACKS, MAX_TRACKS + 1, 1000, INT_MAX}) {
    FillSet(set, count);
    DrawTrails(buffer.Frame(), kWidth, set);
    DrawMarkers(buffer.Frame(), kWidth, 2, set);
    std::vector<std::uint8_t> all(buffer.Frame().begin(), buffer.Frame().end());
    buffer.Clear();
    FillSet(set, MAX_TRACKS);
    DrawTrails(buffer.Frame(), kWidth, set);
    DrawMarkers(buffer.Frame(), kWidth, 2, set);
    EXPECT_EQ(DifferentPixels(buffer.Frame(), all), 0) << "count " << count;
    EXPECT_TRUE(buffer.GuardsIntact());
    buffer.Clear();
  }
  for (const int count : {0, -1, INT_MIN}) {
    FillSet(set, count);
    DrawTrails(buffer.Frame(), kWidth, set);
    DrawMarkers(buffer.Frame(), kWidth, 2, set);
    EXPECT_EQ(buffer.PaintedPixels(), 0) << "count " << count;
  }
}

TEST(TrackOverlays, ATrailRunsFromItsFirstFrameToTheFrameBeforeItsEnd) {
  CTrackSet set;
  set.m_count = 1;
  CTrack& track = set.m_tracks[0];
  track.m_firstFrame = 10;
  track.m_endFrame = 13;
  for (int frame = 9; frame <= 13; ++frame)
    track.SetPoint(20 * frame, 100, frame);
  GuardedFrame buffer;
  DrawTrails(buffer.Frame(), kWidth, set);
  for (int frame = 9; frame <= 13; ++frame) {
    EXPECT_EQ(PictureAt(buffer.Frame(), 20 * frame, 100) == kGreen, frame >= 10 && frame <= 12)
        << "frame " << frame;
  }
  EXPECT_EQ(buffer.PaintedPixels(), 3 * 9);

  // An end frame at or below the first frame paints nothing.
  for (const int end : {10, 9, 0, -1}) {
    track.m_endFrame = end;
    buffer.Clear();
    DrawTrails(buffer.Frame(), kWidth, set);
    EXPECT_EQ(buffer.PaintedPixels(), 0) << "end " << end;
  }
}

TEST(TrackOverlays, TrailsStayWithinTheFramesTheArraysHold) {
  CTrackSet set;
  set.m_count = 1;
  CTrack& track = set.m_tracks[0];
  track.SetPoint(10, 20, 0);
  track.SetPoint(300, 220, 499);
  GuardedFrame buffer;
  for (const auto& [first, end] : std::vector<std::pair<int, int>>{
           {INT_MIN, INT_MAX}, {-5, 1000}, {0, 500}, {499, INT_MAX}, {INT_MIN, 1}}) {
    track.m_firstFrame = first;
    track.m_endFrame = end;
    DrawTrails(buffer.Frame(), kWidth, set);
    const bool hasFirst = first <= 0 && end > 0;
    const bool hasLast = end >= 500;
    EXPECT_EQ(PictureAt(buffer.Frame(), 10, 20) == kGreen, hasFirst) << first << ".." << end;
    EXPECT_EQ(PictureAt(buffer.Frame(), 300, 220) == kGreen, hasLast) << first << ".." << end;
    EXPECT_EQ(buffer.PaintedPixels(), 9 * (hasFirst + hasLast));
    EXPECT_TRUE(buffer.GuardsIntact());
    buffer.Clear();
  }
}

TEST(TrackOverlays, MarkersOnlyForFramesTheArraysHold) {
  CTrackSet set;
  set.m_count = 1;
  set.m_tracks[0].SetPoint(10, 20, 0);
  set.m_tracks[0].SetPoint(300, 220, 499);
  GuardedFrame buffer;
  for (const int frame : {-1, 500, 501, INT_MIN, INT_MAX}) {
    DrawMarkers(buffer.Frame(), kWidth, frame, set);
    EXPECT_EQ(buffer.PaintedPixels(), 0) << "frame " << frame;
  }
  DrawMarkers(buffer.Frame(), kWidth, 0, set);
  DrawMarkers(buffer.Frame(), kWidth, 499, set);
  EXPECT_EQ(PictureAt(buffer.Frame(), 10, 20), kRed);
  EXPECT_EQ(PictureAt(buffer.Frame(), 300, 220), kRed);
  // Both markers lie wholly inside the picture.
  EXPECT_EQ(buffer.PaintedPixels(), 100 + 100);
  // One at (315, 220) keeps its five columns up to the right edge; nothing
  // wraps into the next row.
  set.m_tracks[0].SetPoint(315, 220, 499);
  buffer.Clear();
  DrawMarkers(buffer.Frame(), kWidth, 499, set);
  EXPECT_EQ(buffer.PaintedPixels(), 5 * 10);
  EXPECT_TRUE(buffer.GuardsIntact());
}
