#include "eval/IdentityMetrics.h"

#include <algorithm>
#include <cstddef>

#include "eval/Assignment.h"

namespace {

struct Overlap {
  int id = 0;
  int frames = 0;
};

std::uint64_t Key(int truthIndex, int id) {
  return (std::uint64_t{static_cast<std::uint32_t>(truthIndex)} << 32) |
         std::uint64_t{static_cast<std::uint32_t>(id)};
}

}  // namespace

void IdentityCounter::AddFrame(int truthIndex, int hypothesisId) {
  m_pairs.push_back(Key(truthIndex, hypothesisId));
}

IdentityAssignment IdentityCounter::Solve(int truthCount) {
  IdentityAssignment result;
  result.hypothesisOf.assign(static_cast<std::size_t>(std::max(truthCount, 0)), std::nullopt);
  std::vector<std::vector<Overlap>> byTruth(result.hypothesisOf.size());
  std::sort(m_pairs.begin(), m_pairs.end());
  for (std::size_t i = 0; i < m_pairs.size();) {
    const std::uint64_t key = m_pairs[i];
    const std::size_t runStart = i;
    while (i < m_pairs.size() && m_pairs[i] == key)
      ++i;
    const auto truth = static_cast<std::size_t>(key >> 32);
    if (truth < byTruth.size())
      byTruth[truth].push_back(
          {static_cast<int>(static_cast<std::uint32_t>(key)), static_cast<int>(i - runStart)});
  }

  // A truth target that is paired in some best pairing can be paired within
  // its `rows` best ids: at most rows - 1 of them are taken by the others,
  // and a free one gives at least as many frames. So only those ids need a
  // column, which bounds the matrix however many ids the tracker used.
  std::vector<int> rows;
  for (std::size_t t = 0; t < byTruth.size(); ++t) {
    if (!byTruth[t].empty())
      rows.push_back(static_cast<int>(t));
  }
  std::vector<int> columns;
  for (std::vector<Overlap>& overlaps : byTruth) {
    const auto keep = std::min(overlaps.size(), rows.size());
    std::partial_sort(overlaps.begin(), overlaps.begin() + static_cast<std::ptrdiff_t>(keep),
                      overlaps.end(), [](const Overlap& a, const Overlap& b) {
                        return a.frames != b.frames ? a.frames > b.frames : a.id < b.id;
                      });
    overlaps.resize(keep);
    for (const Overlap& o : overlaps)
      columns.push_back(o.id);
  }
  std::sort(columns.begin(), columns.end());
  columns.erase(std::unique(columns.begin(), columns.end()), columns.end());
  if (rows.empty())
    return result;

  const std::size_t cols = columns.size();
  std::vector<double> cost(rows.size() * cols, 0.0);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (const Overlap& o : byTruth[static_cast<std::size_t>(rows[r])]) {
      const auto c = std::lower_bound(columns.begin(), columns.end(), o.id) - columns.begin();
      cost[r * cols + static_cast<std::size_t>(c)] = -static_cast<double>(o.frames);
    }
  }
  const std::vector<int> assigned =
      MinCostAssignment(cost, static_cast<int>(rows.size()), static_cast<int>(cols));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const int c = assigned[r];
    if (c < 0)
      continue;
    const double frames = -cost[r * cols + static_cast<std::size_t>(c)];
    if (frames > 0) {
      result.idtp += static_cast<long long>(frames);
      result.hypothesisOf[static_cast<std::size_t>(rows[r])] = columns[static_cast<std::size_t>(c)];
    }
  }
  return result;
}
