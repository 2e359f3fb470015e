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

// Every enabled track's position at curFrame. A frame outside the position
// arrays paints nothing.
void DrawMarkers(std::span<std::uint8_t> frame, int width, int curFrame, const CTrackSet& tracks);
