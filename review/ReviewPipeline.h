#pragma once
// The review's frames made and written in order: each source frame is read,
// painted and handed to the encoder. Reading and painting run on several
// threads, a few frames ahead of the encoder; a video source, which can only
// be read front to back, is read by one thread at a time in frame order
// while the painting still runs on all of them.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "review/Canvas.h"
#include "review/FrameSources.h"

namespace review {

// Paints over source frame `index` (the marks, the caption).
using PaintFrame = std::function<void(int index, Canvas canvas)>;
// Takes the next finished frame: top-down blue-green-red rows of the
// pipeline's width (a canvas's bytes). Returns why it cannot, or nothing.
using EncodeFrame = std::function<std::optional<std::string>(std::span<const std::uint8_t>)>;
// Told the number of frames encoded so far, after each one.
using FramesDone = std::function<void(int done)>;

struct PipelineFailure {
  int position = 0;  // in the list of frames
  int index = 0;     // the source frame
  std::string reason;
};

// The most bytes the frames in flight may take together: at 1920 x 1080
// room for 43 threads, far more than the encoder keeps busy.
inline constexpr std::size_t kMaxFramesBytes = std::size_t{1} << 30;

struct PipelineSize {
  int width = 0;  // at least the source's size
  int height = 0;
};

// Makes source frames `frames` (increasing indices) into canvases of `size`
// (the source's picture at the top-left, black beside and below it),
// paints each and encodes them in list order, on `jobs` threads (at least
// one, and no more than kMaxFramesBytes leaves room for) besides the
// calling one, which encodes. The first failure in list order stops the
// run: no later frame is encoded. `paint` runs on several threads at once.
std::optional<PipelineFailure> RunPipeline(FrameSource& source, std::span<const int> frames,
                                           PipelineSize size, int jobs, const PaintFrame& paint,
                                           const EncodeFrame& encode, const FramesDone& done = {});

}  // namespace review
