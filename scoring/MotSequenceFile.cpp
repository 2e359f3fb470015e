#include "scoring/MotSequenceFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <utility>

#include "mot/MotRows.h"

namespace {

constexpr double kMaxMagnitude = 1e9;

std::string At(const std::string& path, int line, const std::string& what) {
  return path + ":" + std::to_string(line) + ": " + what;
}

std::uint64_t FrameAndId(const cli::MotRow& row) {
  return (std::uint64_t{static_cast<std::uint32_t>(row.frame)} << 32) |
         std::uint64_t{static_cast<std::uint32_t>(row.id)};
}

// The first row, in line order, that breaks a rule of a whole file: a
// position out of range, a frame outside the sequence, an overfull frame, or
// an id given twice in a frame.
std::optional<std::string> CheckRows(const std::string& path, std::optional<int> length,
                                     const std::vector<cli::MotRow>& rows) {
  std::unordered_map<int, int> perFrame;             // rows so far in each frame
  std::unordered_map<std::uint64_t, int> firstLine;  // (frame, id) -> its first line
  firstLine.reserve(rows.size());
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
    const auto [first, added] = firstLine.emplace(FrameAndId(row), row.line);
    if (!added)
      return At(path, row.line,
                "id " + std::to_string(row.id) + " is given twice in frame " +
                    std::to_string(row.frame) + " (first on line " + std::to_string(first->second) +
                    ")");
  }
  return std::nullopt;
}

// Reads and checks the file, and converts its rows.
template <class Row, class Convert>
std::optional<std::string> ReadRows(const std::string& path, std::optional<int> length,
                                    std::vector<Row>& rows, Convert convert) {
  std::vector<cli::MotRow> read;
  if (auto problem = cli::ReadMotFile(path, read))
    return problem;
  if (auto problem = CheckRows(path, length, read))
    return problem;
  rows.clear();
  rows.reserve(read.size());
  for (const cli::MotRow& row : read)
    rows.push_back(convert(row));
  return std::nullopt;
}

BoxObject BoxOf(const cli::MotRow& row) {
  return {row.id, row.left, row.top, row.width, row.height};
}

}  // namespace

std::optional<std::string> ReadMotTruthFile(const std::string& path, std::optional<int> length,
                                            std::vector<MotTruthRow>& rows) {
  return ReadRows(path, length, rows, [](const cli::MotRow& row) {
    return MotTruthRow{row.frame, BoxOf(row), row.conf, row.classId,
                       static_cast<std::size_t>(row.line)};
  });
}

std::optional<std::string> ReadMotBoxFile(const std::string& path, std::optional<int> length,
                                          std::vector<BoxRow>& rows) {
  return ReadRows(path, length, rows, [](const cli::MotRow& row) {
    return BoxRow{row.frame, BoxOf(row)};
  });
}
