#include "review/ReviewVerdicts.h"

#include <algorithm>
#include <map>

#include "eval/ClearMatching.h"
#include "eval/Evaluation.h"
#include "tracks/Track.h"

namespace review {
namespace {

// One side's rows by frame and id, the order the evaluation holds its
// objects in.
std::vector<const cli::MotRow*> Sorted(std::span<const cli::MotRow> rows) {
  std::vector<const cli::MotRow*> sorted;
  sorted.reserve(rows.size());
  for (const cli::MotRow& row : rows)
    sorted.push_back(&row);
  std::stable_sort(sorted.begin(), sorted.end(), [](const cli::MotRow* a, const cli::MotRow* b) {
    return a->frame != b->frame ? a->frame < b->frame : a->id < b->id;
  });
  return sorted;
}

std::optional<VerdictProblem> CheckRows(const std::vector<const cli::MotRow*>& rows,
                                        bool hypotheses) {
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const cli::MotRow& row = *rows[i];
    if (row.frame < 0 || row.frame > LastScoredFrame())
      return VerdictProblem{hypotheses, row.line,
                            "frame " + std::to_string(row.frame) +
                                ": the point evaluation scores frames 0 to " +
                                std::to_string(LastScoredFrame())};
    if (i > 0 && rows[i - 1]->frame == row.frame && rows[i - 1]->id == row.id)
      return VerdictProblem{
          hypotheses, std::max(row.line, rows[i - 1]->line),
          "id " + std::to_string(row.id) + " appears twice in frame " + std::to_string(row.frame)};
  }
  return std::nullopt;
}

ReviewBox BoxOf(const cli::MotRow& row) {
  return {row.id, row.left, row.top, row.width, row.height};
}

// The box centres the point evaluation scores.
FrameObjects CentresOf(const std::vector<const cli::MotRow*>& rows) {
  std::vector<ObjectRow> objects;
  objects.reserve(rows.size());
  for (const cli::MotRow* row : rows)
    objects.push_back(
        {row->frame, {row->id, row->left + row->width / 2, row->top + row->height / 2}});
  return FrameObjects(std::move(objects));
}

// The boxes of one frame, for the objects the evaluation reports there.
class FrameBoxes {
 public:
  explicit FrameBoxes(const std::vector<const cli::MotRow*>& rows) : m_rows(rows) {}
  std::vector<ReviewBox> Of(int frame) {
    while (m_next < m_rows.size() && m_rows[m_next]->frame < frame)
      ++m_next;
    std::vector<ReviewBox> boxes;
    for (; m_next < m_rows.size() && m_rows[m_next]->frame == frame; ++m_next)
      boxes.push_back(BoxOf(*m_rows[m_next]));
    return boxes;
  }

 private:
  const std::vector<const cli::MotRow*>& m_rows;
  std::size_t m_next = 0;
};

}  // namespace

int LastScoredFrame() {
  return MAX_TRACK_FRAMES - 1;
}

const FrameVerdicts* SequenceVerdicts::Find(int frame) const {
  const auto it = std::lower_bound(frames.begin(), frames.end(), frame,
                                   [](const FrameVerdicts& v, int f) { return v.frame < f; });
  return it != frames.end() && it->frame == frame ? &*it : nullptr;
}

std::optional<VerdictProblem> EvaluateForReview(std::span<const cli::MotRow> truth,
                                                std::span<const cli::MotRow> hypotheses,
                                                const VerdictSettings& settings,
                                                SequenceVerdicts& verdicts) {
  const std::vector<const cli::MotRow*> truthRows = Sorted(truth);
  const std::vector<const cli::MotRow*> hypothesisRows = Sorted(hypotheses);
  if (auto problem = CheckRows(truthRows, false))
    return problem;
  if (auto problem = CheckRows(hypothesisRows, true))
    return problem;

  SequenceVerdicts made;
  FrameBoxes truthBoxes(truthRows);
  FrameBoxes hypothesisBoxes(hypothesisRows);
  // The hypothesis id each truth id was last matched to, for telling which
  // of a frame's matches are the switches the evaluation counts.
  std::map<int, int> lastMatch;
  bool switchesAgree = true;
  const FrameObserver keep = [&](const FrameVerdict& verdict) {
    FrameVerdicts frame;
    frame.frame = verdict.frame;
    frame.truth = truthBoxes.Of(verdict.frame);
    frame.hypotheses = hypothesisBoxes.Of(verdict.frame);
    if (frame.truth.size() != verdict.truth.size() ||
        frame.hypotheses.size() != verdict.hypotheses.size())
      switchesAgree = false;
    for (std::size_t t = 0; t < verdict.truth.size(); ++t) {
      const int h = verdict.match.hypothesisOf[t];
      if (h < 0) {
        frame.misses.push_back(static_cast<int>(t));
        continue;
      }
      const int id = verdict.hypotheses[static_cast<std::size_t>(h)].id;
      const auto [last, first] = lastMatch.try_emplace(verdict.truth[t].id, id);
      if (!first && last->second != id) {
        frame.switches.push_back({static_cast<int>(t), h, last->second});
        last->second = id;
      }
    }
    if (static_cast<int>(frame.switches.size()) != verdict.match.switches)
      switchesAgree = false;
    std::size_t counted = 0;
    for (std::size_t h = 0; h < verdict.hypotheses.size(); ++h) {
      counted += verdict.ignored[h] ? 0 : 1;
      if (!verdict.match.matched[h] && !verdict.ignored[h])
        frame.falsePositives.push_back(static_cast<int>(h));
    }
    // The pairs the identity metrics count, as the evaluation finds them.
    for (const FrameObject& t : verdict.truth) {
      for (std::size_t h = 0; h < verdict.hypotheses.size(); ++h) {
        if (!verdict.ignored[h] && Distance(t, verdict.hypotheses[h]) <= settings.threshold)
          frame.withinReach.emplace_back(t.id, verdict.hypotheses[h].id);
      }
    }
    frame.counts = {static_cast<int>(verdict.truth.size()), static_cast<int>(counted),
                    static_cast<int>(frame.misses.size()),
                    static_cast<int>(frame.falsePositives.size()), verdict.match.switches};
    made.frames.push_back(std::move(frame));
  };
  EvaluationSettings evaluation;
  evaluation.threshold = settings.threshold;
  const Evaluation scored =
      Evaluate(CentresOf(truthRows), CentresOf(hypothesisRows), evaluation, {}, keep);
  if (!switchesAgree)
    return VerdictProblem{false, 0, "the frame verdicts do not add up to the evaluation's counts"};
  // Frames where neither side has an object carry no verdict.
  std::erase_if(made.frames, [](const FrameVerdicts& frame) {
    return frame.truth.empty() && frame.hypotheses.empty();
  });
  made.truthObjects = scored.totals.gt;
  made.misses = scored.totals.fn;
  made.falsePositives = scored.totals.fp;
  made.switches = scored.totals.idsw;
  made.mota = Mota(scored.totals);
  made.idf1 = Idf1(scored.totals);
  verdicts = std::move(made);
  return std::nullopt;
}

}  // namespace review
