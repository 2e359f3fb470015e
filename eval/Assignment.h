#pragma once
// The linear assignment problem: given a cost for every (row, column) pair,
// pair each row with a distinct column so that the total cost is least.

#include <span>
#include <vector>

// A rows x cols cost matrix, row after row. Returns, for each row, the column
// it is assigned to. When rows <= cols every row gets a column; otherwise
// every column gets a row and the rows left over get -1. Among assignments of
// that size the total cost is least; on ties the result depends only on the
// matrix, so a run is reproducible. Costs must be finite.
//
// The solver is the shortest augmenting path method with row and column
// potentials (Kuhn and Munkres, in the form of Jonker and Volgenant): one row
// is added at a time, O(rows^2 * cols) in all for rows <= cols.
std::vector<int> MinCostAssignment(std::span<const double> cost, int rows, int cols);
