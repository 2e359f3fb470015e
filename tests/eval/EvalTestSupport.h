#pragma once
// Small sequences for the evaluation's tests: boxes and points written as
// rows, random sequences, and the best matching of a small frame found by
// trying every matching.

#include <random>
#include <set>
#include <vector>

#include "eval/BoxObjects.h"
#include "eval/FrameObjects.h"

namespace eval_test {

// A box row: frame, id and the box.
struct BoxText {
  int frame, id;
  double left, top, width, height;
};

BoxFrames Boxes(const std::vector<BoxText>& rows);
// The boxes' centres.
FrameObjects Centres(const std::vector<BoxText>& rows);
// The frames in which either side has a box.
std::set<int> FramesOf(const std::vector<BoxText>& truth, const std::vector<BoxText>& hypotheses);

// A random small sequence: up to `truthIds` targets over `frames` frames,
// and hypotheses that mostly follow them (a little off, sometimes under
// another id, sometimes missing), with some of their own.
struct RandomSequence {
  std::vector<BoxText> truth;
  std::vector<BoxText> hypotheses;
};
RandomSequence MakeRandomSequence(std::mt19937& random, int truthIds, int frames);

// The greatest total of score[t][h] over every one-to-one matching that uses
// only entries above 0, and one matching that gives it (-1 where a row is
// left unmatched). Rows x columns small.
struct BruteMatching {
  double total = 0.0;
  std::vector<int> columnOf;
};
BruteMatching BruteForceBestMatching(const std::vector<std::vector<double>>& score);

}  // namespace eval_test
