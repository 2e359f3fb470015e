#include "player/TrackOverlays.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "tracks/TrackSet.h"

namespace {

// Paints blocks into one buffer. The buffer's row length and row count are
// worked out once, so a trail of many small squares costs little more per
// square than the pixels it paints.
class BlockPainter {
 public:
  BlockPainter(std::span<std::uint8_t> frame, int width)
      : m_frame(frame),
        m_width(width),
        m_stride(static_cast<std::int64_t>(width) * 3),
        m_rows(width > 0 ? static_cast<std::int64_t>(frame.size()) / m_stride : 0) {}

  // Paints one block of any size.
  void Paint(int x, int y, int size, OverlayColour colour) const {
    Rect rect;
    if (!Clip(x, y, size, rect))
      return;
    for (std::int64_t row = rect.firstRow; row < rect.endRow; ++row) {
      std::uint8_t* pixel = m_frame.data() + row * m_stride + rect.firstColumn * 3;
      for (std::int64_t column = rect.firstColumn; column < rect.endColumn; ++column, pixel += 3) {
        pixel[0] = colour.blue;
        pixel[1] = colour.green;
        pixel[2] = colour.red;
      }
    }
  }

  // The same for the overlays' own block sizes: a block wholly inside the
  // picture, the usual case, is filled with fixed-length row copies the
  // compiler turns into a few stores; a block at an edge takes the general
  // path.
  template <int Size>
  void PaintFixed(int x, int y, const std::array<std::uint8_t, Size * 3>& rowPattern,
                  OverlayColour colour) const {
    Rect rect;
    if (!Clip(x, y, Size, rect))
      return;
    if (rect.endColumn - rect.firstColumn != Size || rect.endRow - rect.firstRow != Size) {
      Paint(x, y, Size, colour);
      return;
    }
    std::uint8_t* rowStart = m_frame.data() + rect.firstRow * m_stride + rect.firstColumn * 3;
    for (int row = 0; row < Size; ++row, rowStart += m_stride)
      std::memcpy(rowStart, rowPattern.data(), rowPattern.size());
  }

 private:
  struct Rect {
    std::int64_t firstColumn, endColumn, firstRow, endRow;
  };

  // The part of the block at (x, y) inside the picture; false when none is.
  // Positions come straight from the track file and may be anything, so the
  // block is clipped in 64-bit arithmetic before any pixel is touched. Every
  // pixel of a block gets the same colour, so filling the clipped rectangle
  // row by row paints exactly what painting column by column would.
  bool Clip(int x, int y, int size, Rect& rect) const {
    if (m_rows <= 0 || size <= 0 || (x == 0 && y == 0))
      return false;
    const std::int64_t bottomRow = kPictureLastRow - static_cast<std::int64_t>(y);
    rect.firstColumn = std::max<std::int64_t>(x, 0);
    rect.endColumn = std::min<std::int64_t>(static_cast<std::int64_t>(x) + size, m_width);
    rect.firstRow = std::max<std::int64_t>(bottomRow, 0);
    rect.endRow = std::min<std::int64_t>(bottomRow + size, m_rows);
    return rect.firstColumn < rect.endColumn && rect.firstRow < rect.endRow;
  }

  std::span<std::uint8_t> m_frame;
  std::int64_t m_width;
  std::int64_t m_stride;
  std::int64_t m_rows;
};

// One row of a block of the given size and colour, blue-green-red per pixel.
template <int Size>
constexpr std::array<std::uint8_t, Size * 3> RowPattern(OverlayColour colour) {
  std::array<std::uint8_t, Size * 3> row{};
  for (int i = 0; i < Size; ++i) {
    row[i * 3] = colour.blue;
    row[i * 3 + 1] = colour.green;
    row[i * 3 + 2] = colour.red;
  }
  return row;
}

constexpr auto kTrailRow = RowPattern<kTrailSize>(kTrailColour);
constexpr auto kMarkerRow = RowPattern<kMarkerSize>(kMarkerColour);

}  // namespace

void PaintBlock(std::span<std::uint8_t> frame, int width, int x, int y, int size,
                OverlayColour colour) {
  BlockPainter(frame, width).Paint(x, y, size, colour);
}

void DrawTrails(std::span<std::uint8_t> frame, int width, const CTrackSet& tracks) {
  const BlockPainter painter(frame, width);
  tracks.ForEachEnabledTrack([&](int, const CTrack& track) {
    const int first = std::max(track.m_firstFrame, 0);
    const int end = std::min(track.m_endFrame, MAX_TRACK_FRAMES);
    for (int j = first; j < end; ++j)
      painter.PaintFixed<kTrailSize>(track.m_x[j], track.m_y[j], kTrailRow, kTrailColour);
  });
}

void DrawMarkers(std::span<std::uint8_t> frame, int width, int curFrame, const CTrackSet& tracks) {
  if (!IsTrackFrame(curFrame))
    return;
  const BlockPainter painter(frame, width);
  tracks.ForEachEnabledTrack([&](int, const CTrack& track) {
    painter.PaintFixed<kMarkerSize>(track.m_x[curFrame], track.m_y[curFrame], kMarkerRow,
                                    kMarkerColour);
  });
}

TrailLayer::TrailLayer(const CTrackSet& tracks, int width, int rows) {
  if (width <= 0 || rows <= 0)
    return;
  const std::size_t stride = static_cast<std::size_t>(width) * 3;
  m_frameBytes = stride * static_cast<std::size_t>(rows);
  // The trails painted once into a black scratch frame; the green pixels are
  // the layer. Trail green is never black, so no trail pixel is missed.
  std::vector<std::uint8_t> scratch(m_frameBytes, 0);
  DrawTrails(scratch, width, tracks);
  const auto isTrail = [&](std::size_t at) {
    return scratch[at] == kTrailColour.blue && scratch[at + 1] == kTrailColour.green &&
           scratch[at + 2] == kTrailColour.red;
  };
  for (std::size_t row = 0; row < static_cast<std::size_t>(rows); ++row) {
    const std::size_t rowStart = row * stride;
    for (std::size_t at = rowStart; at < rowStart + stride;) {
      if (!isTrail(at)) {
        at += 3;
        continue;
      }
      const std::size_t first = at;
      while (at < rowStart + stride && isTrail(at))
        at += 3;
      m_runs.push_back({first, at - first});
    }
  }
  m_greenRow.resize(stride);
  for (std::size_t at = 0; at < stride; at += 3) {
    m_greenRow[at] = kTrailColour.blue;
    m_greenRow[at + 1] = kTrailColour.green;
    m_greenRow[at + 2] = kTrailColour.red;
  }
}

void TrailLayer::Apply(std::span<std::uint8_t> frame) const {
  if (frame.size() < m_frameBytes)
    return;
  for (const Run& run : m_runs)
    std::memcpy(frame.data() + run.offset, m_greenRow.data(), run.bytes);
}
