#include "eval/MotSequenceFile.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <unordered_map>
#include <utility>

#include "mot/MotRows.h"

namespace {

constexpr double kMaxMagnitude = 1e9;

std::string At(const std::string& path, int line, const std::string& what) {
  return path + ":" + std::to_string(line) + ": " + what;
}

// The first row, in line order, that breaks a rule of a whole file: a
// position out of range, a frame outside the sequence, an overfull frame, or
// (after all of those) an id given twice in a frame.
std::optional<std::string> CheckRows(const std::string& path, std::optional<int> length,
                                     const std::vector<cli::MotRow>& rows) {
  std::unordered_map<int, int> perFrame;  // rows so far in each frame
  for (const cli::MotRow& row : rows) {
    for (const double value : {row.left, row.top, row.width, row.height}) {
      if (std::fabs(value) > kMaxMagnitude)
        return At(path, row.line, "a position or size beyond 1e9 in magnitude");
    }
    if (length && (row.frame < 1 || row.frame > *length))
      return At(path, row.line,
                "frame " + std::to_string(row.frame) + " is outside the sequence's frames 1 to " +
                    std::to_string(*length));
    if (++perFrame[row.frame] > kMaxObjectsPerFrame)
      return At(path, row.line,
                "more than " + std::to_string(kMaxObjectsPerFrame) + " rows in frame " +
                    std::to_string(row.frame));
  }
  std::vector<std::size_t> order(rows.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const auto key = [&rows](std::size_t i) { return std::pair(rows[i].frame, rows[i].id); };
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return key(a) < key(b); });
  std::optional<std::size_t> repeat;
  std::size_t first = 0;
  for (std::size_t k = 1; k < order.size(); ++k) {
    if (key(order[k]) == key(order[k - 1]) && (!repeat || order[k] < *repeat)) {
      repeat = order[k];
      first = order[k - 1];
    }
  }
  if (repeat)
    return At(path, rows[*repeat].line,
              "id " + std::to_string(rows[*repeat].id) + " is given twice in frame " +
                  std::to_string(rows[*repeat].frame) + " (first on line " +
                  std::to_string(rows[first].line) + ")");
  return std::nullopt;
}

std::optional<std::string> ReadChecked(const std::string& path, std::optional<int> length,
                                       std::vector<cli::MotRow>& rows) {
  if (auto problem = cli::ReadMotFile(path, rows))
    return problem;
  return CheckRows(path, length, rows);
}

BoxObject BoxOf(const cli::MotRow& row) {
  return {row.id, row.left, row.top, row.width, row.height};
}

}  // namespace

std::optional<std::string> ReadMotTruthFile(const std::string& path, std::optional<int> length,
                                            std::vector<MotTruthRow>& rows) {
  std::vector<cli::MotRow> read;
  if (auto problem = ReadChecked(path, length, read))
    return problem;
  rows.clear();
  rows.reserve(read.size());
  for (const cli::MotRow& row : read)
    rows.push_back(
        {row.frame, BoxOf(row), row.conf, row.classId, static_cast<std::size_t>(row.line)});
  return std::nullopt;
}

std::optional<std::string> ReadMotBoxFile(const std::string& path, std::optional<int> length,
                                          std::vector<BoxRow>& rows) {
  std::vector<cli::MotRow> read;
  if (auto problem = ReadChecked(path, length, read))
    return problem;
  rows.clear();
  rows.reserve(read.size());
  for (const cli::MotRow& row : read)
    rows.push_back({row.frame, BoxOf(row)});
  return std::nullopt;
}
