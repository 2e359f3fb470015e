#pragma once
// A review's frames painted and handed to the encoder in order, and the
// size of the pictures they are made at.

#include <optional>
#include <span>
#include <string>

#include "review/ReviewPipeline.h"
#include "review/ReviewPlan.h"
#include "review/ReviewSource.h"

namespace review {

// The review's picture size: the source's, made even each way with a black
// column or row when `evenSides` (yuv420p needs even sizes).
PipelineSize ReviewSize(const ReviewSource& source, bool evenSides);

struct ReviewRunEnd {
  std::optional<std::string> failure;  // why the review cannot be kept
  // A video whose container promised more frames than it holds ends the
  // review early: the frames it holds. Frames asked for by count (`counted`)
  // must all be there, so then it is a failure instead.
  std::optional<int> videoEndsAfter;
};

// Paints the source frames `numbers` (increasing source frame numbers) with
// the plan's marks at `size` on `jobs` threads and encodes them in order.
ReviewRunEnd PaintReview(ReviewSource& source, const ReviewPlan& plan, std::span<const int> numbers,
                         PipelineSize size, int jobs, bool counted, const EncodeFrame& encode,
                         const FramesDone& done);

}  // namespace review
