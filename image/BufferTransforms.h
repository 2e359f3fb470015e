#pragma once
// Whole-buffer transforms on 24-bit pixel buffers held by the caller: width x
// height pixels of 3 bytes, rows of exactly width * 3 bytes one after the
// other. Neither transform cares which way rows run or how the three colour
// bytes are ordered; a "row" below is a row in memory order. Both allocate
// nothing, keep no state and report nothing.
//
// Both refuse, by copying nothing at all, any call whose buffers or sizes
// cannot support the copy, so that nothing is ever read or written outside the
// caller's buffers:
// - a negative width or height, or an image whose byte count width * height * 3
//   does not fit a signed 32-bit integer;
// - a span holding fewer bytes than its image needs;
// - source and destination images that share any byte.

#include <span>

// A rectangle of pixels given by inclusive corners: columns xMin..xMax and rows
// yMin..yMax. It is xMax - xMin + 1 columns wide and yMax - yMin + 1 rows high;
// a rectangle with xMax < xMin or yMax < yMin is empty.
struct ImageRegion {
  int xMin = 0;
  int xMax = 0;
  int yMin = 0;
  int yMax = 0;
};

// Copies the first width * height * 3 bytes of source into destination in
// reverse order: destination byte i is source byte N - 1 - i. For a frame this
// turns the picture by 180 degrees and swaps the first and third colour byte
// of every pixel; applying it twice gives back the original bytes. Reversal in
// place is not supported (the call is refused when the buffers overlap).
void ReverseBuffer(std::span<unsigned char> destination, std::span<const unsigned char> source,
                   int width, int height);

// Copies *region of the source image into the middle of the destination image,
// row by row, bytes unchanged. The region is placed at column offset
// (destinationWidth - columns) / 2 and row offset (destinationHeight - rows) / 2,
// each halved and truncated toward zero, so an odd leftover column or row falls
// after the region. Destination bytes outside the placed region keep what they
// held.
//
// A null region or an empty one copies nothing. Besides the refusals above,
// the call is refused when the region does not lie inside the source
// (0 <= xMin, xMax < sourceWidth, 0 <= yMin, yMax < sourceHeight) or is wider
// or taller than the destination.
void CenterRegion(std::span<const unsigned char> source, int sourceWidth, int sourceHeight,
                  std::span<unsigned char> destination, int destinationWidth, int destinationHeight,
                  const ImageRegion* region);
