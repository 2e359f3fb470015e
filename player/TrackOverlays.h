#pragma once
// The ground-truth overlays painted into a bottom-up frame buffer: green 3 × 3
// trail squares and red 10 × 10 current-position markers.
//
// A block of size S at position (x, y) covers picture columns x .. x + S - 1
// and picture rows y - S + 1 .. y (counted from the top of a 240-row picture):
// the position is its bottom-left pixel and it grows right and up. Parts of a
// block outside the picture are cut off, so nothing is ever written outside
// the buffer or wrapped into the next row. A position of (0, 0) means "no
// position at this frame" and paints nothing.

#include <cstdint>
#include <span>
#include <vector>

class CTrackSet;

struct OverlayColour {
  std::uint8_t blue;
  std::uint8_t green;
  std::uint8_t red;
};

inline constexpr OverlayColour kTrailColour{0, 255, 0};
inline constexpr OverlayColour kMarkerColour{0, 0, 255};
inline constexpr int kTrailSize = 3;
inline constexpr int kMarkerSize = 10;
// The picture's last row: positions count rows from the top of a 240-row
// picture whatever the buffer holds.
inline constexpr int kPictureLastRow = 239;

// Paints one block into the buffer (rows of width × 3 bytes, bottom-up).
void PaintBlock(std::span<std::uint8_t> frame, int width, int x, int y, int size,
                OverlayColour colour);

// Every enabled track's trail, from its first frame to the frame before its
// end frame, in every frame.
void DrawTrails(std::span<std::uint8_t> frame, int width, const CTrackSet& tracks);

// The trails of one track set, painted once and kept as runs of pixels, for
// a caller that paints the same trails into many frames (the companion's
// render). Applying the layer paints exactly what DrawTrails paints with
// the same set and width: every trail square has one colour, so a frame's
// pixel is green when any square covers it, whatever the order. The player
// itself paints straight into its buffer and keeps nothing.
class TrailLayer {
 public:
  TrailLayer(const CTrackSet& tracks, int width, int rows);
  // Paints the trails into a frame of the width and rows given at
  // construction (nothing when the frame is smaller).
  void Apply(std::span<std::uint8_t> frame) const;

 private:
  struct Run {
    std::size_t offset;  // byte offset of the run's first pixel
    std::size_t bytes;
  };
  std::vector<Run> m_runs;
  std::vector<std::uint8_t> m_greenRow;  // one row of trail colour
  std::size_t m_frameBytes = 0;
};

// Every enabled track's position at curFrame. A frame outside the position
// arrays paints nothing.
void DrawMarkers(std::span<std::uint8_t> frame, int width, int curFrame, const CTrackSet& tracks);
