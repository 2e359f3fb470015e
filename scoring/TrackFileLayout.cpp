#include "scoring/TrackFileLayout.h"

#include <optional>
#include <vector>

#include "base/TextBytes.h"
#include "eval/HypothesisReader.h"
#include "mot/MotRows.h"

OtherLayout OtherLayoutOf(std::string_view text) {
  text = base::WithoutByteOrderMark(text);
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    const std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    std::optional<cli::MotRow> row;
    const auto problem = cli::ParseMotLine(line, row);
    if (!problem && !row)
      continue;  // blank or a comment
    if (!problem)
      return OtherLayout::kMotRows;
    std::vector<ObjectRow> points;
    if (!ReadHypotheses(line, HypothesisFormat::kPoints, points) && !points.empty())
      return OtherLayout::kPoints;
    return OtherLayout::kNone;
  }
  return OtherLayout::kNone;
}

std::string NotATrackFile(const std::string& fileName, OtherLayout layout,
                          std::string_view motAdvice) {
  std::string message = fileName + ": not a track file: it looks like ";
  if (layout == OtherLayout::kMotRows)
    message += "MOTChallenge rows (" + std::string(motAdvice) + ")";
  else
    message += "frame,id,x,y points";
  return message;
}
