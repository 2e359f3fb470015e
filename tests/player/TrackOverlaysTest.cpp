// The overlays painted straight into a 320 x 240 frame buffer: where a block
// lands, that no position whatever writes outside the buffer or wraps into the
// neighbouring row, and which tracks and frames are painted.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <vector>

#include "PlayerTestSupport.h"
#include "player/TrackOverlays.h"
#include "tracks/TrackSet.h"

using namespace player_test;

namespace {

constexpr std::size_t kGuardBytes = 4096;
constexpr std::uint8_t kGuard = 0xA5;

// A black frame buffer between guard bytes that show any write outside it.
class GuardedFrame {
 public:
  GuardedFrame() { Clear(); }
  std::span<std::uint8_t> Frame() { return {m_bytes.data() + kGuardBytes, kFrameBytes}; }
  void Clear() { std::fill_n(m_bytes.begin() + kGuardBytes, kFrameBytes, std::uint8_t{0}); }
  int Painted() { return DifferentPixels(Frame(), kBlack); }
  bool GuardsIntact() const {
    const auto isGuard = [](std::uint8_t b) { return b == kGuard; };
    return std::all_of(m_bytes.begin(), m_bytes.begin() + kGuardBytes, isGuard) &&
           std::all_of(m_bytes.end() - kGuardBytes, m_bytes.end(), isGuard);
  }

 private:
  std::vector<std::uint8_t> m_bytes =
      std::vector<std::uint8_t>(kFrameBytes + 2 * kGuardBytes, kGuard);
};

void SetTrack(CTrack& track, int first, int end, std::initializer_list<std::array<int, 3>> points) {
  track.m_firstFrame = first;
  track.m_endFrame = end;
  for (const auto& [frame, x, y] : points)
    track.SetPoint(x, y, frame);
}

// Positions far outside, just outside, on and just inside every edge of the
// 320 x 240 picture, on either axis.
const std::vector<int> kCoordinates = {
    INT_MIN, -1000000, -1000, -11, -10, -9,  -3,  -2,  -1,      0,           1,      2,
    3,       8,        9,     10,  120, 238, 239, 240, 241,     249,         250,    309,
    310,     311,      316,   317, 318, 319, 320, 321, 1000000, INT_MAX - 9, INT_MAX};

}  // namespace

// A block grows right and up from its position, its bottom-left pixel. Any
// position, however far outside, paints exactly the part of its block that
// lies inside the picture; (0, 0) means no position and paints nothing.
TEST(TrackOverlays, BlocksAreCutOffAtThePictureEdges) {
  constexpr OverlayColour kPaint{11, 22, 33};
  GuardedFrame buffer;
  std::vector<std::uint8_t> expected(kFrameBytes);
  for (const int size : {kTrailSize, kMarkerSize}) {
    for (const int x : kCoordinates) {
      for (const int y : kCoordinates) {
        buffer.Clear();
        PaintBlock(buffer.Frame(), kWidth, x, y, size, kPaint);
        // Column-first painting, one pixel at a time, skipping pixels
        // outside the picture.
        std::fill(expected.begin(), expected.end(), std::uint8_t{0});
        for (long long c = 0; c < size && (x != 0 || y != 0); ++c) {
          for (long long r = 0; r < size; ++r) {
            const long long px = x + c;
            const long long py = y - r;
            if (px >= 0 && px < kWidth && py >= 0 && py < kHeight) {
              const std::size_t o = OffsetOf(static_cast<int>(px), static_cast<int>(py));
              expected[o] = 11, expected[o + 1] = 22, expected[o + 2] = 33;
            }
          }
        }
        ASSERT_TRUE(buffer.GuardsIntact()) << x << ", " << y << " size " << size;
        ASSERT_TRUE(std::ranges::equal(buffer.Frame(), expected))
            << x << ", " << y << " size " << size;
      }
    }
  }
}

// Trails and markers paint whole blocks the quick way; at every position of
// the table above they must paint exactly what a single block paints.
TEST(TrackOverlays, TrailsAndMarkersPaintWhatASingleBlockPaints) {
  CTrackSet set;
  set.m_count = 1;
  SetTrack(set.m_tracks[0], 0, 1, {});
  GuardedFrame drawn;
  GuardedFrame single;
  for (const int x : kCoordinates) {
    for (const int y : kCoordinates) {
      set.m_tracks[0].SetPoint(x, y, 0);
      drawn.Clear();
      single.Clear();
      DrawTrails(drawn.Frame(), kWidth, set);
      PaintBlock(single.Frame(), kWidth, x, y, kTrailSize, kTrailColour);
      ASSERT_TRUE(std::ranges::equal(drawn.Frame(), single.Frame())) << "trail " << x << ", " << y;
      drawn.Clear();
      single.Clear();
      DrawMarkers(drawn.Frame(), kWidth, 0, set);
      PaintBlock(single.Frame(), kWidth, x, y, kMarkerSize, kMarkerColour);
      ASSERT_TRUE(std::ranges::equal(drawn.Frame(), single.Frame())) << "marker " << x << ", " << y;
      ASSERT_TRUE(drawn.GuardsIntact()) << x << ", " << y;
    }
  }
}

// A trail layer, painted once, applies exactly what DrawTrails paints over
// any picture: 50 tracks, half of them wandering inside the picture, half
// running through the edge table (crossing every edge); and a layer made for
// a larger buffer than the frame given applies nothing.
TEST(TrackOverlays, ATrailLayerPaintsWhatTheTrailsPaint) {
  CTrackSet set;
  set.m_count = MAX_TRACKS;
  const int count = static_cast<int>(kCoordinates.size());
  for (int i = 0; i < MAX_TRACKS; ++i) {
    SetTrack(set.m_tracks[i], i % 7, MAX_TRACK_FRAMES - i % 5, {});
    for (int j = 0; j < MAX_TRACK_FRAMES; ++j) {
      if (i % 2 == 0)
        set.m_tracks[i].SetPoint(5 + (i * 6 + j) % 300, 20 + (i * 4 + j) % 215, j);
      else
        set.m_tracks[i].SetPoint(
            kCoordinates[static_cast<std::size_t>((i + j) % count)],
            kCoordinates[static_cast<std::size_t>((i * 3 + j / count) % count)], j);
    }
  }
  set.m_tracks[3].m_enabled = 0;
  const std::vector<std::uint8_t> picture = FramePixels(7);
  GuardedFrame drawn;
  GuardedFrame layered;
  std::ranges::copy(picture, drawn.Frame().begin());
  std::ranges::copy(picture, layered.Frame().begin());
  DrawTrails(drawn.Frame(), kWidth, set);
  const TrailLayer layer(set, kWidth, kHeight);
  layer.Apply(layered.Frame());
  EXPECT_TRUE(std::ranges::equal(drawn.Frame(), layered.Frame()));
  EXPECT_GT(DifferentPixels(drawn.Frame(), picture), 1000);
  EXPECT_TRUE(layered.GuardsIntact());

  const TrailLayer tooLarge(set, kWidth, kHeight + 1);
  tooLarge.Apply(layered.Frame());
  EXPECT_TRUE(std::ranges::equal(drawn.Frame(), layered.Frame()));
  EXPECT_TRUE(layered.GuardsIntact());
}

// Trails before markers; disabled tracks, tracks at m_count and above and
// end frames not above the first frame paint no trail.
TEST(TrackOverlays, MarkersCoverTrailsAndOnlyEnabledTracksInUseArePainted) {
  CTrackSet set;
  set.m_count = 4;
  SetTrack(set.m_tracks[0], 7, 8, {{7, 200, 100}, {9, 50, 60}});
  SetTrack(set.m_tracks[1], 7, 9, {{7, 52, 58}, {8, 57, 60}});  // inside track 0's marker
  SetTrack(set.m_tracks[2], 7, 0, {{7, 100, 150}, {9, 100, 200}});
  SetTrack(set.m_tracks[3], 7, 9, {{7, 150, 150}, {9, 150, 200}});
  set.m_tracks[3].m_enabled = 0;
  SetTrack(set.m_tracks[4], 7, 9, {{7, 250, 150}, {9, 250, 200}});

  GuardedFrame buffer;
  DrawTrails(buffer.Frame(), kWidth, set);
  DrawMarkers(buffer.Frame(), kWidth, 9, set);
  for (int x = 50; x <= 59; ++x) {
    for (int y = 51; y <= 60; ++y)
      EXPECT_EQ(PictureAt(buffer.Frame(), x, y), kRed) << x << ", " << y;
  }
  EXPECT_EQ(PictureAt(buffer.Frame(), 200, 100), kGreen);
  EXPECT_EQ(PictureAt(buffer.Frame(), 100, 200), kRed);
  EXPECT_EQ(buffer.Painted(), 9 + 100 + 100);
  EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(TrackOverlays, ACountOutsideTheTableIsReadAsZeroToFifty) {
  CTrackSet set;
  SetTrack(set.m_tracks[MAX_TRACKS - 1], 1, 2, {{1, 100, 100}});  // the marker covers the trail
  GuardedFrame buffer;
  for (const int count : {MAX_TRACKS, MAX_TRACKS + 1, 1000, INT_MAX, 0, -1, INT_MIN}) {
    set.m_count = count;
    buffer.Clear();
    DrawTrails(buffer.Frame(), kWidth, set);
    DrawMarkers(buffer.Frame(), kWidth, 1, set);
    EXPECT_EQ(buffer.Painted(), count >= MAX_TRACKS ? 100 : 0) << "count " << count;
  }
  EXPECT_TRUE(buffer.GuardsIntact());
}

TEST(TrackOverlays, TrailsAndMarkersReadOnlyTheFramesTheArraysHold) {
  CTrackSet set;
  set.m_count = 1;
  CTrack& track = set.m_tracks[0];
  const std::vector<int> stored = {0, 9, 10, 11, 12, 13, 499};
  const auto xOf = [&](int frame) {
    return 5 + 20 * static_cast<int>(std::ranges::find(stored, frame) - stored.begin());
  };
  for (const int frame : stored)
    track.SetPoint(xOf(frame), 100, frame);
  struct Trail {
    int first, end;
    std::vector<int> painted;
  };
  const std::vector<Trail> trails = {
      {10, 13, {10, 11, 12}},     {10, 10, {}},       {10, 9, {}},           {3, 0, {}},
      {INT_MIN, INT_MAX, stored}, {-5, 1000, stored}, {499, INT_MAX, {499}}, {INT_MIN, 1, {0}}};
  GuardedFrame buffer;
  for (const Trail& t : trails) {
    SCOPED_TRACE(::testing::Message() << "trail " << t.first << ".." << t.end);
    track.m_firstFrame = t.first;
    track.m_endFrame = t.end;
    buffer.Clear();
    DrawTrails(buffer.Frame(), kWidth, set);
    EXPECT_EQ(buffer.Painted(), 9 * static_cast<int>(t.painted.size()));
    for (const int frame : t.painted)
      EXPECT_EQ(PictureAt(buffer.Frame(), xOf(frame), 100), kGreen) << "frame " << frame;
  }
  for (const int frame : {-1, 0, 499, 500, INT_MIN, INT_MAX}) {
    buffer.Clear();
    DrawMarkers(buffer.Frame(), kWidth, frame, set);
    EXPECT_EQ(buffer.Painted(), frame == 0 || frame == 499 ? 100 : 0) << "marker frame " << frame;
  }
  EXPECT_TRUE(buffer.GuardsIntact());
}
