#include "eval/Evaluation.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <iterator>

#include "eval/ClearMatching.h"
#include "eval/IdentityMetrics.h"

namespace {

std::optional<double> Ratio(double numerator, double denominator) {
  if (denominator == 0.0)
    return std::nullopt;
  return numerator / denominator;
}

// Where a target stands in the run of its frames, for the fragmentations.
enum class TrackState { kNeverMatched, kMatched, kLost };

struct TargetState {
  TargetResult result;
  TrackState state = TrackState::kNeverMatched;
};

// The frames first..last in which either side has an object, in order.
std::vector<int> OccupiedFrames(const FrameObjects& truth, const FrameObjects& hypotheses,
                                int first, int last) {
  const auto a = truth.OccupiedFrames();
  const auto b = hypotheses.OccupiedFrames();
  std::vector<int> frames;
  frames.reserve(a.size() + b.size());
  std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(frames));
  std::erase_if(frames, [first, last](int frame) { return frame < first || frame > last; });
  return frames;
}

// The ids of the truth objects in the given frames, sorted, each once.
std::vector<int> TruthIds(const FrameObjects& truth, std::span<const int> frames) {
  std::vector<int> ids;
  for (const int frame : frames) {
    for (const FrameObject& object : truth.InFrame(frame))
      ids.push_back(object.id);
  }
  std::sort(ids.begin(), ids.end());
  ids.erase(std::unique(ids.begin(), ids.end()), ids.end());
  return ids;
}

void CountTarget(TargetState& target, bool matched, EvaluationTotals& totals) {
  ++target.result.present;
  if (!matched) {
    ++totals.fn;
    if (target.state == TrackState::kMatched)
      target.state = TrackState::kLost;
    return;
  }
  ++target.result.matches;
  if (target.state == TrackState::kLost)
    ++totals.frag;
  target.state = TrackState::kMatched;
}

void CountCoverage(const TargetResult& target, EvaluationTotals& totals) {
  // Compared in whole numbers: matches / present >= 0.8, or <= 0.2.
  if (5 * target.matches >= 4 * target.present)
    ++totals.mt;
  else if (5 * target.matches <= target.present)
    ++totals.ml;
  else
    ++totals.pt;
}

}  // namespace

std::optional<double> Mota(const EvaluationTotals& t) {
  const std::optional<double> errors = Ratio(t.fn + t.fp + t.idsw, t.gt);
  return errors ? std::optional(1.0 - *errors) : std::nullopt;
}
std::optional<double> Motp(const EvaluationTotals& t) {
  return Ratio(t.distanceSum, t.matches);
}
std::optional<double> Idp(const EvaluationTotals& t) {
  return Ratio(static_cast<double>(t.idtp), static_cast<double>(t.idtp + t.idfp));
}
std::optional<double> Idr(const EvaluationTotals& t) {
  return Ratio(static_cast<double>(t.idtp), static_cast<double>(t.idtp + t.idfn));
}
std::optional<double> Idf1(const EvaluationTotals& t) {
  return Ratio(2.0 * static_cast<double>(t.idtp),
               static_cast<double>(2 * t.idtp + t.idfp + t.idfn));
}

Evaluation Evaluate(const FrameObjects& truth, const FrameObjects& hypotheses,
                    const EvaluationSettings& settings, const IgnoreTest& ignorable,
                    const FrameObserver& observer) {
  const std::vector<int> frames = OccupiedFrames(truth, hypotheses, settings.first, settings.last);
  std::vector<int> ids = TruthIds(truth, frames);
  std::vector<TargetState> targets(ids.size());
  for (std::size_t i = 0; i < ids.size(); ++i)
    targets[i].result.id = ids[i];

  Evaluation evaluation;
  EvaluationTotals& totals = evaluation.totals;
  ClearMatcher matcher(std::move(ids), settings.threshold);
  IdentityCounter identity;
  FrameMatch match;
  std::vector<char> ignored;
  // Frames in which neither side has an object change nothing but the count.
  if (settings.frameCount == EvaluationSettings::FrameCount::kEvery) {
    const long long every =
        std::max(0LL, static_cast<long long>(settings.last) - settings.first + 1);
    totals.frames = static_cast<int>(std::min<long long>(every, INT_MAX));
  } else {
    totals.frames = static_cast<int>(frames.size());
  }
  for (const int frame : frames) {
    const auto truthHere = truth.InFrame(frame);
    const auto hypothesesHere = hypotheses.InFrame(frame);
    matcher.MatchFrame(truthHere, hypothesesHere, match);

    totals.gt += static_cast<int>(truthHere.size());
    totals.hypotheses += static_cast<int>(hypothesesHere.size());
    totals.idsw += match.switches;
    for (std::size_t t = 0; t < truthHere.size(); ++t) {
      const bool matched = match.hypothesisOf[t] >= 0;
      const auto index = static_cast<std::size_t>(matcher.TruthIndex(truthHere[t].id));
      CountTarget(targets[index], matched, totals);
      if (matched) {
        ++totals.matches;
        totals.distanceSum += match.distance[t];
      }
    }
    ignored.assign(hypothesesHere.size(), 0);
    for (std::size_t h = 0; h < hypothesesHere.size(); ++h) {
      if (match.matched[h])
        continue;
      ignored[h] = ignorable && ignorable(hypothesesHere[h], frame);
      ++(ignored[h] ? totals.ignored : totals.fp);
    }
    if (observer)
      observer({frame, truthHere, hypothesesHere, match, ignored});

    for (const FrameObject& t : truthHere) {
      for (std::size_t h = 0; h < hypothesesHere.size(); ++h) {
        if (!ignored[h] && Distance(t, hypothesesHere[h]) <= settings.threshold)
          identity.AddFrame(matcher.TruthIndex(t.id), hypothesesHere[h].id);
      }
    }
  }

  const IdentityAssignment assignment = identity.Solve(static_cast<int>(targets.size()));
  totals.idtp = assignment.idtp;
  totals.idfn = totals.gt - totals.idtp;
  totals.idfp = totals.hypotheses - totals.ignored - totals.idtp;
  for (std::size_t i = 0; i < targets.size(); ++i) {
    targets[i].result.hypothesis = assignment.hypothesisOf[i];
    CountCoverage(targets[i].result, totals);
    evaluation.targets.push_back(targets[i].result);
  }
  return evaluation;
}
