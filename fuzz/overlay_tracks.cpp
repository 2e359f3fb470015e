// Loads arbitrary text as a track file into a track set of its own and paints
// the trails and the markers of several frame numbers over frame buffers: a
// full 320 x 240 frame, a frame of a few rows and a narrow frame. Each buffer
// is allocated to its exact size, so the address sanitizer reports any byte
// written past it. Afterwards every pixel must be the background, the trail
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

// The one track file of this process.
const std::string& TrackFilePath() {
  static const std::string path = fuzz::ScratchFolder().File("truetracks.txt");
  return path;
}

bool IsColour(const std::uint8_t* pixel, OverlayColour colour) {
  return pixel[0] == colour.blue && pixel[1] == colour.green && pixel[2] == colour.red;
}

void CheckPixels(std::span<const std::uint8_t> frame) {
  for (std::size_t i = 0; i < frame.size(); i += 3) {
    const std::uint8_t* pixel = &frame[i];
    const bool untouched =
        pixel[0] == BACKGROUND && pixel[1] == BACKGROUND && pixel[2] == BACKGROUND;
    Check(untouched || IsColour(pixel, kTrailColour) || IsColour(pixel, kMarkerColour));
  }
}

void PaintOver(const FrameShape shape, const CTrackSet& tracks) {
  const std::size_t bytes = static_cast<std::size_t>(shape.width) * 3 * shape.rows;
  const auto buffer = std::make_unique<std::uint8_t[]>(bytes);
  const std::span<std::uint8_t> frame(buffer.get(), bytes);
  std::memset(buffer.get(), BACKGROUND, bytes);

  DrawTrails(frame, shape.width, tracks);
  // Trails paint the same pixels however often they are drawn.
  const auto once = std::make_unique<std::uint8_t[]>(bytes);
  std::memcpy(once.get(), buffer.get(), bytes);
  DrawTrails(frame, shape.width, tracks);
  Check(std::memcmp(once.get(), buffer.get(), bytes) == 0);

  for (const int curFrame : MARKER_FRAMES) {
    if (IsTrackFrame(curFrame)) {
      DrawMarkers(frame, shape.width, curFrame, tracks);
      continue;
    }
    // A frame outside the position arrays paints nothing.
    std::memcpy(once.get(), buffer.get(), bytes);
    DrawMarkers(frame, shape.width, curFrame, tracks);
    Check(std::memcmp(once.get(), buffer.get(), bytes) == 0);
  }
  CheckPixels(frame);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The loader traces every target it disables; that would flood the output.
  const base::ScopedTraceSink quiet([](std::string_view) {});
  const std::string& input = TrackFilePath();
  fuzz::WriteFreshFile(input, data, size);
  CTrackSet tracks;
  Check(tracks.LoadTrueTracksFrom(input.c_str()));
  for (const FrameShape shape : SHAPES) {
    PaintOver(shape, tracks);
  }
  return 0;
}
