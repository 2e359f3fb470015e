#include "review/KeptSpans.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace review {

std::vector<FrameSpan> KeptSpans(std::span<const int> errorFrames, int first, int last,
                                 int context) {
  std::vector<FrameSpan> spans;
  context = std::max(context, 0);
  for (const int frame : errorFrames) {
    if (frame < first || frame > last)
      continue;
    // Widened in 64 bits, so frames near the ends of int range stay exact.
    const auto from =
        static_cast<int>(std::max<std::int64_t>(std::int64_t{frame} - context, first));
    const auto to = static_cast<int>(std::min<std::int64_t>(std::int64_t{frame} + context, last));
    if (!spans.empty() && std::int64_t{from} <= std::int64_t{spans.back().last} + 1)
      spans.back().last = std::max(spans.back().last, to);
    else
      spans.push_back({from, to});
  }
  return spans;
}

std::vector<int> FramesOf(std::span<const FrameSpan> spans) {
  std::vector<int> frames;
  for (const FrameSpan& span : spans) {
    for (std::int64_t frame = span.first; frame <= span.last; ++frame)
      frames.push_back(static_cast<int>(frame));
  }
  return frames;
}

int ContextFrames(double rate) {
  if (!(rate > 0.0))
    return 1;
  return static_cast<int>(std::clamp(std::round(rate), 1.0, 1e6));
}

}  // namespace review
