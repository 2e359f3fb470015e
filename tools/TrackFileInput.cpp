#include "tools/TrackFileInput.h"

#include "base/InputFile.h"
#include "base/TextBytes.h"
#include "base/Trace.h"
#include "eval/HypothesisReader.h"
#include "mot/MotRows.h"
#include "tracks/TrackSet.h"

namespace cli {
namespace {

// What the first row of text looks like when it is another layout's: MOT
// rows or frame,id,x,y points; nothing otherwise.
std::optional<std::string> OtherLayout(std::string_view text, std::string_view command) {
  text = base::WithoutByteOrderMark(text);
  while (!text.empty()) {
    const std::size_t newline = text.find('\n');
    const std::string_view line = text.substr(0, newline);
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
    std::optional<MotRow> row;
    const auto problem = ParseMotLine(line, row);
    if (!problem && !row)
      continue;  // blank or a comment
    if (!problem)
      return std::string(command == "evaluate"
                             ? "MOTChallenge rows (give --truth-format mot, or convert it with "
                               "mot2tracks)"
                             : "MOTChallenge rows (convert it with mot2tracks)");
    std::vector<ObjectRow> points;
    if (!ReadHypotheses(line, HypothesisFormat::kPoints, points) && !points.empty())
      return std::string("frame,id,x,y points");
    return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> LoadCommandTracks(const std::string& fileName, CTrackSet& tracks,
                                             std::string_view command, std::ostream& err) {
  std::string text;
  if (const auto fault = base::ReadWholeFile(fileName, base::kMaxTextFileBytes, text))
    return fileName + ": " + fault->Describe();
  const base::StreamPtr stream = base::OpenTextStream(text);
  const base::ScopedTraceSink quiet([](std::string_view) {});
  if (!stream || !tracks.LoadTrueTracksFromStream(stream.get()))
    return fileName + ": cannot be read as a track file";
  if (tracks.TracksInUse() == 0) {
    // A file of another layout reads as a set without targets: that is no
    // answer to give, so the command fails naming what the file looks like.
    if (const auto looks = OtherLayout(text, command))
      return fileName + ": not a track file: it looks like " + *looks;
    err << "korvane-cli " << command << ": warning: " << fileName
        << ": no targets (the file does not begin with a target count above 0 and a first "
           "frame)\n";
  }
  return std::nullopt;
}

}  // namespace cli
