#include "eval/ClearMatching.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "eval/Assignment.h"

namespace {

// The hypothesis with id in a frame's hypotheses (sorted by id), or -1.
int FindId(std::span<const FrameObject> objects, int id) {
  const auto it = std::lower_bound(objects.begin(), objects.end(), id,
                                   [](const FrameObject& o, int value) { return o.id < value; });
  return it != objects.end() && it->id == id ? static_cast<int>(it - objects.begin()) : -1;
}

}  // namespace

double Distance(const FrameObject& a, const FrameObject& b) {
  const double dx = a.x - b.x;
  const double dy = a.y - b.y;
  return std::sqrt(dx * dx + dy * dy);
}

ClearMatcher::ClearMatcher(std::vector<int> truthIds, double threshold)
    : m_truthIds(std::move(truthIds)), m_threshold(threshold), m_lastMatch(m_truthIds.size()) {}

int ClearMatcher::TruthIndex(int id) const {
  const auto it = std::lower_bound(m_truthIds.begin(), m_truthIds.end(), id);
  return it != m_truthIds.end() && *it == id ? static_cast<int>(it - m_truthIds.begin()) : -1;
}

void ClearMatcher::MatchFrame(std::span<const FrameObject> truth,
                              std::span<const FrameObject> hypotheses, FrameMatch& match) {
  match.hypothesisOf.assign(truth.size(), -1);
  match.distance.assign(truth.size(), 0.0);
  match.matched.assign(hypotheses.size(), 0);
  match.switches = 0;

  for (std::size_t t = 0; t < truth.size(); ++t) {
    const int index = TruthIndex(truth[t].id);
    if (index < 0 || !m_lastMatch[static_cast<std::size_t>(index)])
      continue;
    const int h = FindId(hypotheses, *m_lastMatch[static_cast<std::size_t>(index)]);
    if (h < 0 || match.matched[static_cast<std::size_t>(h)])
      continue;
    const double d = Distance(truth[t], hypotheses[static_cast<std::size_t>(h)]);
    if (d <= m_threshold) {
      match.hypothesisOf[t] = h;
      match.distance[t] = d;
      match.matched[static_cast<std::size_t>(h)] = 1;
    }
  }

  MatchTheRest(truth, hypotheses, match);

  for (std::size_t t = 0; t < truth.size(); ++t) {
    const int h = match.hypothesisOf[t];
    const int index = TruthIndex(truth[t].id);
    if (h < 0 || index < 0)
      continue;
    std::optional<int>& last = m_lastMatch[static_cast<std::size_t>(index)];
    const int id = hypotheses[static_cast<std::size_t>(h)].id;
    if (last && *last != id)
      ++match.switches;
    last = id;
  }
}

void ClearMatcher::MatchTheRest(std::span<const FrameObject> truth,
                                std::span<const FrameObject> hypotheses, FrameMatch& match) {
  // Only objects with a partner within reach take part; the others cannot
  // be matched whatever the assignment.
  const auto reachable = [&](std::size_t t, std::size_t h) {
    return match.hypothesisOf[t] < 0 && !match.matched[h] &&
           Distance(truth[t], hypotheses[h]) <= m_threshold;
  };
  m_rows.clear();
  m_cols.clear();
  std::vector<char> colUsed(hypotheses.size(), 0);
  for (std::size_t t = 0; t < truth.size(); ++t) {
    bool any = false;
    for (std::size_t h = 0; h < hypotheses.size(); ++h) {
      if (reachable(t, h)) {
        any = true;
        colUsed[h] = 1;
      }
    }
    if (any)
      m_rows.push_back(static_cast<int>(t));
  }
  for (std::size_t h = 0; h < hypotheses.size(); ++h) {
    if (colUsed[h])
      m_cols.push_back(static_cast<int>(h));
  }
  if (m_rows.empty())
    return;

  // A pair out of reach costs more than any matching of pairs within reach
  // can, so the least total cost makes the most pairs first.
  const std::size_t rows = m_rows.size();
  const std::size_t cols = m_cols.size();
  m_cost.assign(rows * cols, -1.0);
  double longest = 0.0;
  for (std::size_t r = 0; r < rows; ++r) {
    for (std::size_t c = 0; c < cols; ++c) {
      const auto t = static_cast<std::size_t>(m_rows[r]);
      const auto h = static_cast<std::size_t>(m_cols[c]);
      if (reachable(t, h)) {
        m_cost[r * cols + c] = Distance(truth[t], hypotheses[h]);
        longest = std::max(longest, m_cost[r * cols + c]);
      }
    }
  }
  const double outOfReach = (longest + 1.0) * static_cast<double>(std::min(rows, cols) + 1);
  std::replace(m_cost.begin(), m_cost.end(), -1.0, outOfReach);

  const std::vector<int> assigned =
      MinCostAssignment(m_cost, static_cast<int>(rows), static_cast<int>(cols));
  for (std::size_t r = 0; r < rows; ++r) {
    const int c = assigned[r];
    if (c < 0 || m_cost[r * cols + static_cast<std::size_t>(c)] == outOfReach)
      continue;
    const auto t = static_cast<std::size_t>(m_rows[r]);
    const auto h = static_cast<std::size_t>(m_cols[static_cast<std::size_t>(c)]);
    match.hypothesisOf[t] = static_cast<int>(h);
    match.distance[t] = m_cost[r * cols + static_cast<std::size_t>(c)];
    match.matched[h] = 1;
  }
}
