#include "player/TrackOverlays.h"

#include <algorithm>

#include "tracks/TrackSet.h"

void PaintBlock(std::span<std::uint8_t> frame, int width, int x, int y, int size,
                OverlayColour colour) {
  if (width <= 0 || size <= 0 || (x == 0 && y == 0))
    return;
  // Positions come straight from the track file and may be anything, so the
  // block is clipped to the picture in 64-bit arithmetic before any pixel is
  // touched. Every pixel of a block gets the same colour, so filling the
  // clipped rectangle row by row paints exactly what painting column by
  // column would.
  const std::int64_t stride = static_cast<std::int64_t>(width) * 3;
  const std::int64_t rows = static_cast<std::int64_t>(frame.size()) / stride;
  const std::int64_t firstColumn = std::max<std::int64_t>(x, 0);
  const std::int64_t endColumn = std::min<std::int64_t>(static_cast<std::int64_t>(x) + size, width);
  const std::int64_t bottomRow = kPictureLastRow - static_cast<std::int64_t>(y);
  const std::int64_t firstRow = std::max<std::int64_t>(bottomRow, 0);
  const std::int64_t endRow = std::min<std::int64_t>(bottomRow + size, rows);
  if (firstColumn >= endColumn || firstRow >= endRow)
    return;

  for (std::int64_t row = firstRow; row < endRow; ++row) {
    std::uint8_t* pixel = frame.data() + row * stride + firstColumn * 3;
    for (std::int64_t column = firstColumn; column < endColumn; ++column) {
      pixel[0] = colour.blue;
      pixel[1] = colour.green;
      pixel[2] = colour.red;
      pixel += 3;
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
