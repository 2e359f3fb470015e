#include "player/TrackOverlays.h"

#include <algorithm>

#include "tracks/TrackSet.h"

void PaintBlock(std::span<std::uint8_t> frame, int width, int x, int y, int size,
                OverlayColour colour) {
  if (width <= 0 || size <= 0 || (x == 0 && y == 0))
    return;
  // Positions come straight from the track file and may be anything, so the
  // arithmetic is done in 64 bits and every pixel is checked against the
  // picture before it is touched.
  const std::int64_t stride = static_cast<std::int64_t>(width) * 3;
  const std::int64_t rows = static_cast<std::int64_t>(frame.size()) / stride;
  for (int c = 0; c < size; ++c) {
    const std::int64_t column = static_cast<std::int64_t>(x) + c;
    if (column < 0 || column >= width)
      continue;
    for (int r = 0; r < size; ++r) {
      const std::int64_t row = kPictureLastRow - static_cast<std::int64_t>(y) + r;
      if (row < 0 || row >= rows)
        continue;
      const std::size_t offset = static_cast<std::size_t>(row * stride + column * 3);
      frame[offset] = colour.blue;
      frame[offset + 1] = colour.green;
      frame[offset + 2] = colour.red;
    }
  }
}

void DrawTrails(std::span<std::uint8_t> frame, int width, const CTrackSet& tracks) {
  const int count = tracks.TracksInUse();
  for (int i = 0; i < count; ++i) {
    const CTrack& track = tracks.m_tracks[i];
    if (track.m_enabled != 1)
      continue;
    const int first = std::max(track.m_firstFrame, 0);
    const int end = std::min(track.m_endFrame, MAX_TRACK_FRAMES);
    for (int j = first; j < end; ++j) {
      PaintBlock(frame, width, track.m_x[j], track.m_y[j], kTrailSize, kTrailColour);
    }
  }
}

void DrawMarkers(std::span<std::uint8_t> frame, int width, int curFrame, const CTrackSet& tracks) {
  if (!IsTrackFrame(curFrame))
    return;
  const int count = tracks.TracksInUse();
  for (int i = 0; i < count; ++i) {
    const CTrack& track = tracks.m_tracks[i];
    if (track.m_enabled != 1)
      continue;
    PaintBlock(frame, width, track.m_x[curFrame], track.m_y[curFrame], kMarkerSize, kMarkerColour);
  }
}
