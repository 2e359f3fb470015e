// The assignment solver and the per-frame matching, checked against brute
// force over every matching of small random problems.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>
#include <vector>

#include "EvalTestSupport.h"
#include "eval/Assignment.h"
#include "eval/ClearMatching.h"

namespace {

// Every pair outweighs any sum of the costs or distances here, so the best
// matching by kLarge less the cost takes as many pairs as it can.
constexpr double kLarge = 1000.0;

// The least total cost over every assignment of min(rows, cols) pairs.
double BruteForceLeast(const std::vector<double>& cost, int rows, int cols) {
  std::vector<std::vector<double>> weight(static_cast<std::size_t>(rows));
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < cols; ++c)
      weight[static_cast<std::size_t>(r)].push_back(kLarge - cost[r * cols + c]);
  }
  return std::min(rows, cols) * kLarge - eval_test::BruteForceBestMatching(weight).total;
}

TEST(MinCostAssignment, MatchesBruteForceOnRandomMatrices) {
  std::mt19937 random(20240611);
  std::uniform_int_distribution<int> size(1, 6);
  // Few distinct costs, so that ties are common.
  std::uniform_int_distribution<int> value(0, 4);
  for (int trial = 0; trial < 2000; ++trial) {
    const int rows = size(random);
    const int cols = size(random);
    std::vector<double> cost(static_cast<std::size_t>(rows * cols));
    for (double& c : cost)
      c = value(random) * 0.5;
    const std::vector<int> assigned = MinCostAssignment(cost, rows, cols);
    ASSERT_EQ(assigned.size(), static_cast<std::size_t>(rows));
    std::set<int> columns;
    double total = 0.0;
    for (int r = 0; r < rows; ++r) {
      if (assigned[r] < 0)
        continue;
      ASSERT_LT(assigned[r], cols);
      columns.insert(assigned[r]);
      total += cost[r * cols + assigned[r]];
    }
    ASSERT_EQ(columns.size(), static_cast<std::size_t>(std::min(rows, cols))) << "trial " << trial;
    EXPECT_DOUBLE_EQ(total, BruteForceLeast(cost, rows, cols))
        << "trial " << trial << ", " << rows << " x " << cols;
  }
}

struct Best {
  int pairs = 0;
  double distance = 0.0;
};

// The most pairs within reach, then the least total distance, over every
// matching of truth objects with hypotheses.
Best BruteForceMatch(const std::vector<FrameObject>& truth, const std::vector<FrameObject>& hyps,
                     double threshold) {
  std::vector<std::vector<double>> weight(truth.size(), std::vector<double>(hyps.size(), 0.0));
  for (std::size_t t = 0; t < truth.size(); ++t) {
    for (std::size_t h = 0; h < hyps.size(); ++h) {
      if (Distance(truth[t], hyps[h]) <= threshold)
        weight[t][h] = kLarge - Distance(truth[t], hyps[h]);
    }
  }
  const std::vector<int> columnOf = eval_test::BruteForceBestMatching(weight).columnOf;
  Best best;
  for (std::size_t t = 0; t < truth.size(); ++t) {
    if (columnOf[t] >= 0) {
      ++best.pairs;
      best.distance += Distance(truth[t], hyps[static_cast<std::size_t>(columnOf[t])]);
    }
  }
  return best;
}

// A fresh matcher has no earlier matches, so its frame is the optimal
// matching alone.
TEST(ClearMatcher, FirstFrameMatchesBruteForceOnRandomFrames) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> count(0, 6);
  std::uniform_int_distribution<int> coordinate(0, 12);
  constexpr double kThreshold = 5.0;
  for (int trial = 0; trial < 2000; ++trial) {
    std::vector<FrameObject> truth(static_cast<std::size_t>(count(random)));
    std::vector<FrameObject> hyps(static_cast<std::size_t>(count(random)));
    std::vector<int> ids;
    for (std::size_t i = 0; i < truth.size(); ++i) {
      truth[i] = {static_cast<int>(i), double(coordinate(random)), double(coordinate(random))};
      ids.push_back(static_cast<int>(i));
    }
    for (std::size_t i = 0; i < hyps.size(); ++i)
      hyps[i] = {static_cast<int>(i), double(coordinate(random)), double(coordinate(random))};

    ClearMatcher matcher(ids, kThreshold);
    FrameMatch match;
    matcher.MatchFrame(truth, hyps, match);
    Best got;
    std::set<int> used;
    for (std::size_t t = 0; t < truth.size(); ++t) {
      const int h = match.hypothesisOf[t];
      if (h < 0)
        continue;
      ASSERT_TRUE(used.insert(h).second) << "hypothesis matched twice, trial " << trial;
      ASSERT_LE(Distance(truth[t], hyps[h]), kThreshold);
      ASSERT_TRUE(match.matched[h]);
      ++got.pairs;
      got.distance += match.distance[t];
    }
    ASSERT_EQ(std::count(match.matched.begin(), match.matched.end(), 1), got.pairs);

    const Best best = BruteForceMatch(truth, hyps, kThreshold);
    EXPECT_EQ(got.pairs, best.pairs) << "trial " << trial;
    EXPECT_NEAR(got.distance, best.distance, 1e-9) << "trial " << trial;
  }
}

}  // namespace
