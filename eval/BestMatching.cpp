#include "eval/BestMatching.h"

#include <algorithm>
#include <cstddef>
#include <numeric>

#include "eval/Assignment.h"

int BestMatching::Root(int node) {
  while (m_parent[static_cast<std::size_t>(node)] != node) {
    const int up = m_parent[static_cast<std::size_t>(m_parent[static_cast<std::size_t>(node)])];
    m_parent[static_cast<std::size_t>(node)] = up;
    node = up;
  }
  return node;
}

void BestMatching::Solve(std::span<const ScoredPair> pairs, int truthCount, int hypothesisCount,
                         std::vector<int>& pairOf) {
  pairOf.assign(static_cast<std::size_t>(std::max(truthCount, 0)), -1);
  if (pairs.empty() || truthCount <= 0 || hypothesisCount <= 0)
    return;
  const auto nodes =
      static_cast<std::size_t>(truthCount) + static_cast<std::size_t>(hypothesisCount);
  m_parent.resize(nodes);
  std::iota(m_parent.begin(), m_parent.end(), 0);
  for (const ScoredPair& p : pairs) {
    const int a = Root(p.truth);
    const int b = Root(truthCount + p.hypothesis);
    if (a != b)
      m_parent[static_cast<std::size_t>(std::max(a, b))] = std::min(a, b);
  }
  m_groupOf.resize(pairs.size());
  for (std::size_t i = 0; i < pairs.size(); ++i)
    m_groupOf[i] = Root(pairs[i].truth);
  m_order.resize(pairs.size());
  std::iota(m_order.begin(), m_order.end(), 0);
  std::stable_sort(m_order.begin(), m_order.end(), [this](int a, int b) {
    return m_groupOf[static_cast<std::size_t>(a)] < m_groupOf[static_cast<std::size_t>(b)];
  });
  for (std::size_t start = 0; start < m_order.size();) {
    std::size_t end = start + 1;
    const int group = m_groupOf[static_cast<std::size_t>(m_order[start])];
    while (end < m_order.size() && m_groupOf[static_cast<std::size_t>(m_order[end])] == group)
      ++end;
    SolveGroup(pairs, std::span(m_order).subspan(start, end - start), pairOf);
    start = end;
  }
}

void BestMatching::SolveGroup(std::span<const ScoredPair> pairs, std::span<const int> group,
                              std::vector<int>& pairOf) {
  if (group.size() == 1) {
    const int only = group.front();
    pairOf[static_cast<std::size_t>(pairs[static_cast<std::size_t>(only)].truth)] = only;
    return;
  }
  // Rows and columns numbered in the order of the objects, so the matrix
  // depends only on the input.
  m_rows.clear();
  m_cols.clear();
  for (const int i : group) {
    m_rows.push_back(pairs[static_cast<std::size_t>(i)].truth);
    m_cols.push_back(pairs[static_cast<std::size_t>(i)].hypothesis);
  }
  std::sort(m_rows.begin(), m_rows.end());
  m_rows.erase(std::unique(m_rows.begin(), m_rows.end()), m_rows.end());
  std::sort(m_cols.begin(), m_cols.end());
  m_cols.erase(std::unique(m_cols.begin(), m_cols.end()), m_cols.end());
  const std::size_t rows = m_rows.size();
  const std::size_t cols = m_cols.size();
  m_cost.assign(rows * cols, 0.0);
  m_pairAt.assign(rows * cols, -1);
  for (const int i : group) {
    const ScoredPair& p = pairs[static_cast<std::size_t>(i)];
    const auto r = static_cast<std::size_t>(
        std::lower_bound(m_rows.begin(), m_rows.end(), p.truth) - m_rows.begin());
    const auto c = static_cast<std::size_t>(
        std::lower_bound(m_cols.begin(), m_cols.end(), p.hypothesis) - m_cols.begin());
    m_cost[r * cols + c] = -p.score;
    m_pairAt[r * cols + c] = i;
  }
  const std::vector<int> assigned =
      MinCostAssignment(m_cost, static_cast<int>(rows), static_cast<int>(cols));
  for (std::size_t r = 0; r < rows; ++r) {
    if (assigned[r] < 0)
      continue;
    const int pair = m_pairAt[r * cols + static_cast<std::size_t>(assigned[r])];
    if (pair >= 0)
      pairOf[static_cast<std::size_t>(m_rows[r])] = pair;
  }
}
