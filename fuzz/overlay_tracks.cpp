// Loads arbitrary text as a track file into a track set of its own and paints
// the trails and the markers of several frame numbers over frame buffers: a
// full 320 x 240 frame, a frame of a few rows and a narrow frame. Each buffer
// is allocated once, to its exact size, so the address sanitizer reports any
// byte written past it. Afterwards every pixel must be the background, the trail
// colour or the marker colour: a block cut at an edge never leaves a pixel
// split across two rows or half painted.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "base/Trace.h"
#include "fuzz/FuzzSupport.h"
#include "player/TrackOverlays.h"
#include "tracks/TrackSet.h"

namespace {

constexpr std::uint8_t BACKGROUND = 0x5A;

struct FrameShape {
  int width;
  int rows;
};

// The player's frame, a frame holding only the picture's bottom rows, and a
// frame narrower than the picture.
constexpr FrameShape SHAPES[] = {{320, 240}, {320, 7}, {12, 240}};

constexpr int MARKER_FRAMES[] = {INT_MIN, -1, 0, 1, 2, 24, 54, 250, 498, 499, 500, INT_MAX};

using fuzz::Check;

std::uint32_t Packed(const std::uint8_t* pixel) {
  return pixel[0] | (pixel[1] << 8) | (pixel[2] << 16);
}

std::uint32_t Packed(OverlayColour colour) {
  const std::uint8_t pixel[] = {colour.blue, colour.green, colour.red};
  return Packed(pixel);
}

// Left out of the instrumentation: a compare per pixel would be counted for
// the fuzzer and a check per read made by the sanitizers 76,800 times per
// frame, costing more than all the painting under test while telling nothing
// about it. The loop reads only the bytes it is given, and calls nothing, as
// a call would be instrumented again.
__attribute__((no_sanitize("coverage", "address", "undefined"))) bool OnlyColours(
    const std::uint8_t* bytes, std::size_t size, std::uint32_t background, std::uint32_t trail,
    std::uint32_t marker) {
  // Most of a frame is background: runs of 8 background pixels (24 bytes,
  // three words of a repeating pattern) are passed over whole.
  std::uint64_t run[3];
  for (int b = 0; b < 24; ++b)
    reinterpret_cast<std::uint8_t*>(run)[b] = static_cast<std::uint8_t>(background >> (b % 3 * 8));
  bool fine = true;
  std::size_t i = 0;
  while (i + 3 <= size) {
    if (i + 24 <= size) {
      std::uint64_t words[3];
      __builtin_memcpy(words, bytes + i, 24);
      if (words[0] == run[0] && words[1] == run[1] && words[2] == run[2]) {
        i += 24;
        continue;
      }
    }
    const std::uint32_t pixel = bytes[i] | (bytes[i + 1] << 8) | (bytes[i + 2] << 16);
    fine &= pixel == background || pixel == trail || pixel == marker;
    i += 3;
  }
  return fine;
}

constexpr std::uint8_t BACKGROUND_PIXEL[] = {BACKGROUND, BACKGROUND, BACKGROUND};

bool OnlyOverlayColours(std::span<const std::uint8_t> frame) {
  return OnlyColours(frame.data(), frame.size(), Packed(BACKGROUND_PIXEL), Packed(kTrailColour),
                     Packed(kMarkerColour));
}

bool OnlyBackground(std::span<const std::uint8_t> frame) {
  const std::uint32_t background = Packed(BACKGROUND_PIXEL);
  return OnlyColours(frame.data(), frame.size(), background, background, background);
}

// A frame buffer of one shape, allocated once to its exact size, with a
// buffer to copy it into.
class ShapeBuffers {
 public:
  explicit ShapeBuffers(FrameShape shape)
      : m_shape(shape),
        m_bytes(static_cast<std::size_t>(shape.width) * 3 * shape.rows),
        m_frame(std::make_unique<std::uint8_t[]>(m_bytes)),
        m_copy(std::make_unique<std::uint8_t[]>(m_bytes)) {}

  void PaintOver(const CTrackSet& tracks) {
    const std::span<std::uint8_t> frame(m_frame.get(), m_bytes);
    std::memset(m_frame.get(), BACKGROUND, m_bytes);

    // A frame outside the position arrays paints nothing.
    for (const int curFrame : MARKER_FRAMES) {
      if (!IsTrackFrame(curFrame))
        DrawMarkers(frame, m_shape.width, curFrame, tracks);
    }
    Check(OnlyBackground(frame));

    DrawTrails(frame, m_shape.width, tracks);
    // Trails paint the same pixels however often they are drawn.
    std::memcpy(m_copy.get(), m_frame.get(), m_bytes);
    DrawTrails(frame, m_shape.width, tracks);
    Check(std::memcmp(m_copy.get(), m_frame.get(), m_bytes) == 0);

    for (const int curFrame : MARKER_FRAMES) {
      if (IsTrackFrame(curFrame))
        DrawMarkers(frame, m_shape.width, curFrame, tracks);
    }
    Check(OnlyOverlayColours(frame));
  }

 private:
  FrameShape m_shape;
  std::size_t m_bytes;
  std::unique_ptr<std::uint8_t[]> m_frame;
  std::unique_ptr<std::uint8_t[]> m_copy;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The loader traces every target it disables; that would flood the output.
  const base::ScopedTraceSink quiet([](std::string_view) {});
  // The set and the buffers are made once; the set forgets the previous
  // input before each load, the buffers are refilled before painting.
  static CTrackSet tracks;
  static ShapeBuffers buffers[] = {ShapeBuffers(SHAPES[0]), ShapeBuffers(SHAPES[1]),
                                   ShapeBuffers(SHAPES[2])};
  fuzz::ForgetEarlierLoads(tracks);
  const fuzz::InputStream input(data, size);
  Check(tracks.LoadTrueTracksFromStream(input.Get()));
  for (ShapeBuffers& shape : buffers) {
    shape.PaintOver(tracks);
  }
  return 0;
}
