// The caption's running scores: MOTA of the frames so far from their
// counts, and IDF1 from the best pairing of ids over those frames, which
// the incremental solve must find exactly as a solve of the whole table
// would, after every frame.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "eval/Assignment.h"
#include "review/RunningScores.h"

namespace {

using review::FrameCounts;
using review::IdPair;
using review::RunningScores;

// The best pairing's frames, from the whole table of pair counts at once.
long long WholeTableIdtp(const std::map<IdPair, long long>& frames) {
  std::vector<int> rows;
  std::vector<int> cols;
  for (const auto& [pair, count] : frames) {
    rows.push_back(pair.first);
    cols.push_back(pair.second);
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::sort(cols.begin(), cols.end());
  cols.erase(std::unique(cols.begin(), cols.end()), cols.end());
  if (rows.empty())
    return 0;
  std::vector<double> cost(rows.size() * cols.size(), 0.0);
  const auto place = [](const std::vector<int>& ids, int id) {
    return static_cast<std::size_t>(std::lower_bound(ids.begin(), ids.end(), id) - ids.begin());
  };
  for (const auto& [pair, count] : frames)
    cost[place(rows, pair.first) * cols.size() + place(cols, pair.second)] = -double(count);
  const std::vector<int> assigned =
      MinCostAssignment(cost, static_cast<int>(rows.size()), static_cast<int>(cols.size()));
  long long best = 0;
  for (std::size_t r = 0; r < assigned.size(); ++r) {
    if (assigned[r] >= 0)
      best -= static_cast<long long>(cost[r * cols.size() + std::size_t(assigned[r])]);
  }
  return best;
}

TEST(RunningScores, MotaAndIdf1OfTheFramesSoFar) {
  RunningScores scores;
  EXPECT_FALSE(scores.Mota());
  EXPECT_FALSE(scores.Idf1());
  // Truth 1 within reach of hypothesis 7 for three frames, of 8 for two:
  // the pairing takes 7.
  const std::vector<IdPair> seven{{1, 7}};
  const std::vector<IdPair> eight{{1, 8}};
  scores.AddFrame({1, 1, 0, 0, 0}, seven);
  EXPECT_DOUBLE_EQ(*scores.Mota(), 1.0);
  EXPECT_DOUBLE_EQ(*scores.Idf1(), 1.0);
  scores.AddFrame({1, 1, 0, 0, 1}, eight);
  scores.AddFrame({1, 1, 0, 0, 0}, eight);
  // Two frames with 8, one with 7: 8 is the better partner so far.
  EXPECT_EQ(scores.Idtp(), 2);
  EXPECT_DOUBLE_EQ(*scores.Mota(), 1.0 - 1.0 / 3.0);
  scores.AddFrame({1, 2, 1, 2, 0}, {});
  scores.AddFrame({1, 1, 0, 0, 1}, seven);
  scores.AddFrame({1, 1, 0, 0, 0}, seven);
  EXPECT_EQ(scores.Idtp(), 3);
  // 6 truth objects, 7 hypotheses; errors: 1 + 3 + 1.
  EXPECT_DOUBLE_EQ(*scores.Mota(), 1.0 - 5.0 / 6.0);
  EXPECT_DOUBLE_EQ(*scores.Idf1(), 2.0 * 3.0 / 13.0);
}

TEST(RunningScores, TheIncrementalPairingEqualsAWholeSolveAfterEveryFrame) {
  std::mt19937 random(2024);
  for (int trial = 0; trial < 30; ++trial) {
    RunningScores scores;
    std::map<IdPair, long long> frames;
    // Few truth ids and a tracker that hops between ids, so that groups of
    // ids join as the frames go by.
    const int truthIds = 3 + trial % 12;
    const int hypothesisIds = 2 + trial % 17;
    for (int frame = 0; frame < 120; ++frame) {
      std::set<IdPair> pairs;
      const int count = static_cast<int>(random() % 6);
      for (int i = 0; i < count; ++i)
        pairs.insert({static_cast<int>(random() % truthIds) - 2,
                      static_cast<int>(random() % hypothesisIds) * 3});
      const std::vector<IdPair> list(pairs.begin(), pairs.end());
      for (const IdPair& pair : list)
        ++frames[pair];
      scores.AddFrame({count, count, 0, 0, 0}, list);
      ASSERT_EQ(scores.Idtp(), WholeTableIdtp(frames)) << "trial " << trial << " frame " << frame;
    }
  }
}

}  // namespace
