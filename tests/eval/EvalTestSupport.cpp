#include "EvalTestSupport.h"

#include <algorithm>

namespace eval_test {

BoxFrames Boxes(const std::vector<BoxText>& rows) {
  std::vector<BoxRow> boxes;
  for (const BoxText& r : rows)
    boxes.push_back({r.frame, {r.id, r.left, r.top, r.width, r.height}});
  return BoxFrames(std::move(boxes));
}

FrameObjects Centres(const std::vector<BoxText>& rows) {
  std::vector<ObjectRow> points;
  for (const BoxText& r : rows)
    points.push_back({r.frame, {r.id, r.left + r.width / 2, r.top + r.height / 2}});
  return FrameObjects(std::move(points), FrameObjects::Frames::kAny);
}

std::set<int> FramesOf(const std::vector<BoxText>& truth, const std::vector<BoxText>& hypotheses) {
  std::set<int> frames;
  for (const BoxText& b : truth)
    frames.insert(b.frame);
  for (const BoxText& b : hypotheses)
    frames.insert(b.frame);
  return frames;
}

RandomSequence MakeRandomSequence(std::mt19937& random, int truthIds, int frames) {
  std::uniform_real_distribution<double> place(0.0, 12.0);
  std::uniform_real_distribution<double> size(2.0, 4.0);
  std::uniform_real_distribution<double> jitter(-0.8, 0.8);
  std::uniform_real_distribution<double> chance(0.0, 1.0);
  std::uniform_int_distribution<int> anyId(0, truthIds + 1);
  RandomSequence s;
  for (int frame = 0; frame < frames; ++frame) {
    std::vector<int> used;
    const auto take = [&used](int id) {
      if (std::find(used.begin(), used.end(), id) != used.end())
        return false;
      used.push_back(id);
      return true;
    };
    for (int id = 0; id < truthIds; ++id) {
      if (chance(random) < 0.2)
        continue;
      const BoxText box{frame, id, place(random), place(random) / 4, size(random), size(random)};
      s.truth.push_back(box);
      if (chance(random) < 0.25)
        continue;
      const int hypothesisId = chance(random) < 0.75 ? id : anyId(random);
      if (take(hypothesisId))
        s.hypotheses.push_back({frame, hypothesisId, box.left + jitter(random),
                                box.top + jitter(random), box.width + jitter(random) / 2,
                                box.height + jitter(random) / 2});
    }
    if (chance(random) < 0.4) {
      const int id = anyId(random);
      if (take(id))
        s.hypotheses.push_back(
            {frame, id, place(random), place(random) / 4, size(random), size(random)});
    }
  }
  return s;
}

namespace {

void Search(const std::vector<std::vector<double>>& score, std::size_t row,
            std::vector<bool>& taken, double total, std::vector<int>& columnOf,
            BruteMatching& best) {
  if (row == score.size()) {
    if (total > best.total) {
      best.total = total;
      best.columnOf = columnOf;
    }
    return;
  }
  columnOf[row] = -1;
  Search(score, row + 1, taken, total, columnOf, best);
  for (std::size_t c = 0; c < score[row].size(); ++c) {
    if (taken[c] || !(score[row][c] > 0.0))
      continue;
    taken[c] = true;
    columnOf[row] = static_cast<int>(c);
    Search(score, row + 1, taken, total + score[row][c], columnOf, best);
    taken[c] = false;
  }
  columnOf[row] = -1;
}

}  // namespace

BruteMatching BruteForceBestMatching(const std::vector<std::vector<double>>& score) {
  BruteMatching best;
  best.columnOf.assign(score.size(), -1);
  std::vector<int> columnOf(score.size(), -1);
  std::vector<bool> taken(score.empty() ? 0 : score.front().size(), false);
  Search(score, 0, taken, 0.0, columnOf, best);
  return best;
}

}  // namespace eval_test
