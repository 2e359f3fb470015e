#pragma once
// The frames a review shows: the range asked for within what the source
// holds, all of it or, for an errors-only review, the spans around its
// errors; and the rate they play at.

#include <optional>
#include <string>
#include <vector>

#include "image/SeriesFrames.h"
#include "review/KeptSpans.h"
#include "review/ReviewPlan.h"
#include "review/ReviewSource.h"
#include "review/ReviewVerdicts.h"

namespace review {

// A picture series without a seqinfo.ini, and without a rate asked for,
// plays at this.
inline constexpr int kDefaultReviewRate = 30;

// Source frame numbers, both included.
using series::FrameRange;

// The frames reviewed: `count` frames (default: up to the source's end; a
// video of unknown length up to the last frame a row names) from
// `firstFrame` (default: the source's first), at most `maxFrames`. Returns
// why there are none to review (messages name --first-frame and --count),
// or nothing.
std::optional<std::string> PlanRange(std::optional<int> firstFrame, std::optional<int> count,
                                     const ReviewSource& source, const SequenceVerdicts& verdicts,
                                     int maxFrames, FrameRange& range);

// The rate of the review video: the one asked for, else the source's rounded
// to 1 .. 1000, else kDefaultReviewRate.
int VideoRate(std::optional<int> asked, const ReviewSource& source);

struct ChosenFrames {
  std::vector<FrameSpan> spans;  // errors only: the spans kept, none when no frame has an error
  std::vector<int> numbers;      // the source frames shown, in order
};

// Every frame of the range, or with errorsOnly the frames with an error and
// one second of frames either side (at the rate asked for, else the
// source's, else kDefaultReviewRate).
ChosenFrames ChooseFrames(const ReviewPlan& plan, FrameRange range, bool errorsOnly,
                          std::optional<int> askedRate, const ReviewSource& source);

}  // namespace review
