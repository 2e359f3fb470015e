#pragma once
// What each frame of a review shows: the marks of its verdicts, moved into
// the review's pixels, and its caption with the scores of the sequence up
// to that frame.

#include <vector>

#include "review/Canvas.h"
#include "review/Caption.h"
#include "review/Marks.h"
#include "review/ReviewVerdicts.h"

namespace review {

class ReviewPlan {
 public:
  // The plan for the sequence's verdicts shown at `scale` (review pixels
  // per source pixel). The running scores start at the sequence's first
  // frame, whatever part of it is shown, so the last frame's caption gives
  // the evaluation's own totals.
  ReviewPlan(const SequenceVerdicts& verdicts, double scale);

  FrameMarks MarksOf(int frame) const;
  CaptionFigures CaptionOf(int frame) const;
  // The frames of first .. last with an error, in order.
  std::vector<int> ErrorFrames(int first, int last) const;
  // The caption, then the marks over it, so no error is hidden.
  void Paint(int frame, Canvas canvas, const MarkSizes& sizes) const;

 private:
  const SequenceVerdicts& m_verdicts;
  double m_scale = 1.0;
  // The caption after each frame of m_verdicts.frames.
  std::vector<CaptionFigures> m_captions;
};

}  // namespace review
