#include "review/ReviewRun.h"

#include <vector>

#include "review/Marks.h"

namespace review {

PipelineSize ReviewSize(const ReviewSource& source, bool evenSides) {
  const int width = source.frames->Width();
  const int height = source.frames->Height();
  return {evenSides ? width + width % 2 : width, evenSides ? height + height % 2 : height};
}

ReviewRunEnd PaintReview(ReviewSource& source, const ReviewPlan& plan, std::span<const int> numbers,
                         PipelineSize size, int jobs, bool counted, const EncodeFrame& encode,
                         const FramesDone& done) {
  std::vector<int> indices;
  for (const int number : numbers)
    indices.push_back(number - source.firstNumber);
  const MarkSizes sizes = MarkSizesFor(size.height);
  const int firstNumber = source.firstNumber;
  const auto failure = RunPipeline(
      *source.frames, indices, size, jobs,
      [&](int index, Canvas canvas) { plan.Paint(firstNumber + index, canvas, sizes); }, encode,
      done);
  if (!failure)
    return {};
  const auto* video = dynamic_cast<const VideoFileSource*>(source.frames.get());
  if (video != nullptr && video->FramesHeld() && !counted && failure->position > 0)
    return {std::nullopt, *video->FramesHeld()};
  return {failure->reason, std::nullopt};
}

}  // namespace review
