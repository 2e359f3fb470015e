#pragma once
// The frames an errors-only review keeps: every frame with an error and the
// frames of context around it, as spans of consecutive frame numbers.

#include <span>
#include <vector>

namespace review {

struct FrameSpan {
  int first = 0;  // inclusive
  int last = 0;   // inclusive

  friend bool operator==(const FrameSpan&, const FrameSpan&) = default;
};

// Each error frame widened by `context` frames on either side, cut to
// first .. last, spans that overlap or touch joined into one. errorFrames is
// sorted; frames outside first .. last are passed over.
std::vector<FrameSpan> KeptSpans(std::span<const int> errorFrames, int first, int last,
                                 int context);

// Every frame of the spans, in order.
std::vector<int> FramesOf(std::span<const FrameSpan> spans);

// The context of an errors-only review: one second of frames at `rate`
// frames a second (rounded, at least 1).
int ContextFrames(double rate);

}  // namespace review
