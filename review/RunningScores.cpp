#include "review/RunningScores.h"

#include <algorithm>

#include "eval/Assignment.h"

namespace review {
namespace {

std::uint64_t Key(int truthNode, int hypothesisNode) {
  return static_cast<std::uint64_t>(static_cast<std::uint32_t>(truthNode)) << 32 |
         static_cast<std::uint32_t>(hypothesisNode);
}

// The index of `node` in the sorted, unique `nodes`.
int Place(const std::vector<int>& nodes, int node) {
  return static_cast<int>(std::lower_bound(nodes.begin(), nodes.end(), node) - nodes.begin());
}

}  // namespace

int RunningScores::Node(std::unordered_map<int, int>& ids, int id) {
  const auto [it, added] = ids.try_emplace(id, static_cast<int>(m_parent.size()));
  if (added) {
    m_parent.push_back(it->second);
    m_pairs.emplace_back();
    m_best.push_back(0);
  }
  return it->second;
}

int RunningScores::Root(int node) {
  while (m_parent[static_cast<std::size_t>(node)] != node) {
    int& parent = m_parent[static_cast<std::size_t>(node)];
    parent = m_parent[static_cast<std::size_t>(parent)];  // halves the path
    node = parent;
  }
  return node;
}

void RunningScores::AddFrame(const FrameCounts& counts, std::span<const IdPair> withinReach) {
  m_truth += counts.truth;
  m_hypotheses += counts.hypotheses;
  m_errors += std::int64_t{counts.misses} + counts.falsePositives + counts.switches;
  m_dirty.clear();
  for (const auto& [truthId, hypothesisId] : withinReach) {
    const int t = Node(m_truthNodes, truthId);
    const int h = Node(m_hypothesisNodes, hypothesisId);
    int root = Root(t);
    const int other = Root(h);
    // The groups touched give up their solved frames until solved again.
    m_idtp -= m_best[static_cast<std::size_t>(root)];
    m_best[static_cast<std::size_t>(root)] = 0;
    if (other != root) {
      m_idtp -= m_best[static_cast<std::size_t>(other)];
      m_best[static_cast<std::size_t>(other)] = 0;
      // The smaller list of pairs joins the larger.
      auto& rootPairs = m_pairs[static_cast<std::size_t>(root)];
      auto& otherPairs = m_pairs[static_cast<std::size_t>(other)];
      if (rootPairs.size() < otherPairs.size()) {
        rootPairs.swap(otherPairs);
      }
      rootPairs.insert(rootPairs.end(), otherPairs.begin(), otherPairs.end());
      otherPairs.clear();
      otherPairs.shrink_to_fit();
      m_parent[static_cast<std::size_t>(other)] = root;
    }
    if (m_frames[Key(t, h)]++ == 0)
      m_pairs[static_cast<std::size_t>(root)].emplace_back(t, h);
    m_dirty.push_back(root);
  }
  for (int& root : m_dirty)
    root = Root(root);
  std::sort(m_dirty.begin(), m_dirty.end());
  m_dirty.erase(std::unique(m_dirty.begin(), m_dirty.end()), m_dirty.end());
  for (const int root : m_dirty) {
    const long long best = Solve(root);
    m_best[static_cast<std::size_t>(root)] = best;
    m_idtp += best;
  }
}

long long RunningScores::Solve(int root) {
  const auto& pairs = m_pairs[static_cast<std::size_t>(root)];
  if (pairs.size() == 1)
    return m_frames[Key(pairs[0].first, pairs[0].second)];
  std::vector<int> rows;
  std::vector<int> cols;
  for (const auto& [t, h] : pairs) {
    rows.push_back(t);
    cols.push_back(h);
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::sort(cols.begin(), cols.end());
  cols.erase(std::unique(cols.begin(), cols.end()), cols.end());
  const auto width = cols.size();
  m_cost.assign(rows.size() * width, 0.0);
  for (const auto& [t, h] : pairs) {
    const auto cell =
        static_cast<std::size_t>(Place(rows, t)) * width + static_cast<std::size_t>(Place(cols, h));
    m_cost[cell] = -static_cast<double>(m_frames[Key(t, h)]);
  }
  const std::vector<int> assigned =
      MinCostAssignment(m_cost, static_cast<int>(rows.size()), static_cast<int>(width));
  long long best = 0;
  for (std::size_t r = 0; r < assigned.size(); ++r) {
    if (assigned[r] >= 0)
      best -= static_cast<long long>(m_cost[r * width + static_cast<std::size_t>(assigned[r])]);
  }
  return best;
}

std::optional<double> RunningScores::Mota() const {
  if (m_truth == 0)
    return std::nullopt;
  return 1.0 - static_cast<double>(m_errors) / static_cast<double>(m_truth);
}

std::optional<double> RunningScores::Idf1() const {
  const long long denominator = m_truth + m_hypotheses;
  if (denominator == 0)
    return std::nullopt;
  return 2.0 * static_cast<double>(m_idtp) / static_cast<double>(denominator);
}

}  // namespace review
