#include "review/ReviewFrames.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace review {

std::optional<std::string> PlanRange(std::optional<int> firstFrame, std::optional<int> count,
                                     const ReviewSource& source, const SequenceVerdicts& verdicts,
                                     int maxFrames, FrameRange& range) {
  range.first = firstFrame.value_or(source.firstNumber);
  if (range.first < source.firstNumber)
    return "--first-frame " + std::to_string(range.first) + ": the source's first frame is " +
           std::to_string(source.firstNumber);
  std::int64_t held = 0;
  if (source.count)
    held = std::int64_t{source.firstNumber} + *source.count - range.first;
  else if (!verdicts.frames.empty())
    held = std::int64_t{verdicts.frames.back().frame} - range.first + 1;
  if (count) {
    if (source.count && !source.video && *count > held)
      return "--count " + std::to_string(*count) + ": the source holds " +
             std::to_string(std::max<std::int64_t>(held, 0)) + " frames from " +
             std::to_string(range.first);
    held = *count;
  }
  if (held < 1)
    return "the source holds no frame from " + std::to_string(range.first) + " on";
  // At most maxFrames, and none numbered beyond INT_MAX: a video's frames
  // are asked for by number whatever the stream holds.
  held = std::min<std::int64_t>({held, maxFrames, std::int64_t{INT_MAX} - range.first + 1});
  range.last = static_cast<int>(range.first + held - 1);
  return std::nullopt;
}

int VideoRate(std::optional<int> asked, const ReviewSource& source) {
  return asked.value_or(static_cast<int>(
      std::lround(std::clamp(source.rate.value_or(kDefaultReviewRate), 1.0, 1000.0))));
}

ChosenFrames ChooseFrames(const ReviewPlan& plan, FrameRange range, bool errorsOnly,
                          std::optional<int> askedRate, const ReviewSource& source) {
  ChosenFrames chosen;
  if (errorsOnly) {
    const double rate = askedRate ? *askedRate : source.rate.value_or(kDefaultReviewRate);
    chosen.spans = KeptSpans(plan.ErrorFrames(range.first, range.last), range.first, range.last,
                             ContextFrames(rate));
    chosen.numbers = FramesOf(chosen.spans);
  } else {
    for (std::int64_t n = range.first; n <= range.last; ++n)
      chosen.numbers.push_back(static_cast<int>(n));
  }
  return chosen;
}

}  // namespace review
