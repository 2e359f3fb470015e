#include "eval/Assignment.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace {

// Solves rows <= cols on the matrix as given, reading entry (r, c) through
// at(r, c). Columns are numbered from 1 inside, column 0 standing for "the
// row being added", which keeps the augmenting step free of special cases.
template <class CostAt>
std::vector<int> AssignRowsToColumns(int rows, int cols, CostAt at) {
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  const auto n = static_cast<std::size_t>(cols) + 1;
  std::vector<double> rowPotential(static_cast<std::size_t>(rows) + 1, 0.0);
  std::vector<double> colPotential(n, 0.0);
  // rowOfCol[c]: the row (from 1) holding column c, 0 when free.
  std::vector<int> rowOfCol(n, 0);
  // The column before c on the shortest path found so far.
  std::vector<int> previous(n, 0);
  std::vector<double> slack(n);
  std::vector<char> used(n);

  for (int row = 1; row <= rows; ++row) {
    rowOfCol[0] = row;
    int col = 0;
    std::fill(slack.begin(), slack.end(), kInfinity);
    std::fill(used.begin(), used.end(), 0);
    // Grows a tree of tight edges from the new row until it reaches a free
    // column, adjusting the potentials by the least slack at each step.
    do {
      used[static_cast<std::size_t>(col)] = 1;
      const int r = rowOfCol[static_cast<std::size_t>(col)];
      double delta = kInfinity;
      int next = 0;
      for (int c = 1; c <= cols; ++c) {
        const auto uc = static_cast<std::size_t>(c);
        if (used[uc])
          continue;
        const double reduced =
            at(r - 1, c - 1) - rowPotential[static_cast<std::size_t>(r)] - colPotential[uc];
        if (reduced < slack[uc]) {
          slack[uc] = reduced;
          previous[uc] = col;
        }
        if (slack[uc] < delta) {
          delta = slack[uc];
          next = c;
        }
      }
      for (std::size_t c = 0; c < n; ++c) {
        if (used[c]) {
          rowPotential[static_cast<std::size_t>(rowOfCol[c])] += delta;
          colPotential[c] -= delta;
        } else {
          slack[c] -= delta;
        }
      }
      col = next;
    } while (rowOfCol[static_cast<std::size_t>(col)] != 0);
    // Flips the path: every column on it takes the row of the one before.
    do {
      const int before = previous[static_cast<std::size_t>(col)];
      rowOfCol[static_cast<std::size_t>(col)] = rowOfCol[static_cast<std::size_t>(before)];
      col = before;
    } while (col != 0);
  }

  std::vector<int> colOfRow(static_cast<std::size_t>(rows), -1);
  for (int c = 1; c <= cols; ++c) {
    const int r = rowOfCol[static_cast<std::size_t>(c)];
    if (r != 0)
      colOfRow[static_cast<std::size_t>(r - 1)] = c - 1;
  }
  return colOfRow;
}

}  // namespace

std::vector<int> MinCostAssignment(std::span<const double> cost, int rows, int cols) {
  if (rows <= 0 || cols <= 0 ||
      cost.size() < static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols))
    return std::vector<int>(static_cast<std::size_t>(std::max(rows, 0)), -1);
  const auto stride = static_cast<std::size_t>(cols);
  if (rows <= cols) {
    return AssignRowsToColumns(rows, cols, [&](int r, int c) {
      return cost[static_cast<std::size_t>(r) * stride + static_cast<std::size_t>(c)];
    });
  }
  // More rows than columns: the columns are assigned to rows instead.
  const std::vector<int> rowOfCol = AssignRowsToColumns(cols, rows, [&](int c, int r) {
    return cost[static_cast<std::size_t>(r) * stride + static_cast<std::size_t>(c)];
  });
  std::vector<int> colOfRow(static_cast<std::size_t>(rows), -1);
  for (int c = 0; c < cols; ++c)
    colOfRow[static_cast<std::size_t>(rowOfCol[static_cast<std::size_t>(c)])] = c;
  return colOfRow;
}
