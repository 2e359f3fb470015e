#include "review/ReviewPlan.h"

#include <algorithm>

namespace review {
namespace {

ReviewBox Scaled(const ReviewBox& box, double scale) {
  return {box.id, box.left * scale, box.top * scale, box.width * scale, box.height * scale};
}

}  // namespace

ReviewPlan::ReviewPlan(const SequenceVerdicts& verdicts, double scale)
    : m_verdicts(verdicts), m_scale(scale) {
  RunningScores scores;
  m_captions.reserve(verdicts.frames.size());
  for (const FrameVerdicts& frame : verdicts.frames) {
    scores.AddFrame(frame.counts, frame.withinReach);
    m_captions.push_back(
        {frame.frame, scores.Mota(), scores.Idf1(), static_cast<int>(frame.misses.size()),
         static_cast<int>(frame.falsePositives.size()), static_cast<int>(frame.switches.size())});
  }
}

FrameMarks ReviewPlan::MarksOf(int frame) const {
  FrameMarks marks;
  const FrameVerdicts* verdicts = m_verdicts.Find(frame);
  if (verdicts == nullptr)
    return marks;
  for (const ReviewBox& box : verdicts->truth)
    marks.truth.push_back(Scaled(box, m_scale));
  for (const ReviewBox& box : verdicts->hypotheses)
    marks.hypotheses.push_back(Scaled(box, m_scale));
  marks.misses = verdicts->misses;
  marks.falsePositives = verdicts->falsePositives;
  marks.switches = verdicts->switches;
  return marks;
}

CaptionFigures ReviewPlan::CaptionOf(int frame) const {
  // The scores as of the last frame with objects up to this one; this
  // frame's own errors only when it has objects.
  const auto& frames = m_verdicts.frames;
  const auto after = std::upper_bound(frames.begin(), frames.end(), frame,
                                      [](int f, const FrameVerdicts& v) { return f < v.frame; });
  CaptionFigures figures;
  if (after != frames.begin()) {
    const auto index = static_cast<std::size_t>(after - frames.begin()) - 1;
    figures = m_captions[index];
    if (frames[index].frame != frame)
      figures.misses = figures.falsePositives = figures.switches = 0;
  }
  figures.frame = frame;
  return figures;
}

std::vector<int> ReviewPlan::ErrorFrames(int first, int last) const {
  std::vector<int> errors;
  for (const FrameVerdicts& frame : m_verdicts.frames) {
    if (frame.frame >= first && frame.frame <= last && frame.HasError())
      errors.push_back(frame.frame);
  }
  return errors;
}

void ReviewPlan::Paint(int frame, Canvas canvas, const MarkSizes& sizes) const {
  PaintCaption(canvas, CaptionText(CaptionOf(frame)), sizes);
  PaintMarks(canvas, MarksOf(frame), sizes);
}

}  // namespace review
