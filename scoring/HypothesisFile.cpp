#include "scoring/HypothesisFile.h"

#include <memory>
#include <string_view>
#include <vector>

#include "base/InputFile.h"
#include "base/TextBytes.h"
#include "eval/HypothesisReader.h"
#include "geometry/GeometryFile.h"
#include "mot/MotConversion.h"
#include "mot/MotRows.h"
#include "scoring/TrackFileLayout.h"
#include "tracks/TrackFileRead.h"
#include "tracks/TrackSet.h"

namespace {

// Line `number` (from 1) of text.
std::string_view LineOf(std::string_view text, std::size_t number) {
  for (std::size_t line = 1; line < number && !text.empty(); ++line) {
    const std::size_t newline = text.find('\n');
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
  }
  return text.substr(0, text.find('\n'));
}

// A track file's targets as hypotheses, the target's index their id. No
// targets is a tracker's answer, unless the file is of another layout.
std::optional<std::string> LoadTrackHypotheses(const std::string& file, FrameObjects& objects) {
  auto tracks = std::make_unique<CTrackSet>();
  std::string text;
  if (auto problem = ReadTrackFile(file, *tracks, text))
    return problem;
  if (tracks->TracksInUse() == 0) {
    if (const OtherLayout looks = OtherLayoutOf(text); looks != OtherLayout::kNone)
      return NotATrackFile(file, looks);
  }
  objects = ObjectsFromTracks(*tracks);
  return std::nullopt;
}

}  // namespace

std::optional<std::string> LoadHypotheses(const HypothesisInput& input, LoadedHypotheses& loaded) {
  if (input.layout == HypLayout::kTracks)
    return LoadTrackHypotheses(input.file, loaded.objects);
  cli::FrameGeometry geometry;
  if (!input.geometryFile.empty()) {
    if (auto problem = cli::ReadGeometryFile(input.geometryFile, geometry))
      return problem;
  }
  std::string text;
  if (const auto fault = base::ReadWholeFile(input.file, kMaxHypothesisBytes, text))
    return input.file + ": " + fault->Describe();
  std::vector<ObjectRow> rows;
  std::optional<ReadProblem> problem;
  if (input.layout != HypLayout::kMot) {
    problem = ReadHypotheses(text, HypothesisFormat::kPoints, rows);
  } else {
    // MOT rows are placed exactly as mot2tracks places ground truth, so a
    // converted truth and a tracker's rows meet in the same frames: through
    // the geometry when there is one, else frames and centres as they stand.
    const cli::FrameGeometry* through = input.geometryFile.empty() ? nullptr : &geometry;
    const MotPlacement place = [through](int motFrame, double x, double y) {
      const cli::PlacedCentre placed = cli::PlaceMotCentre(through, motFrame, {x, y});
      return PlacedObject{placed.frame, placed.position.x, placed.position.y};
    };
    problem = ReadPlacedMotHypotheses(text, place, rows, loaded.outsideRows);
  }
  if (problem) {
    std::string message = input.file + ":" + std::to_string(problem->line) + ": " + problem->what;
    // Rows read in the wrong layout fail far from their cause: name it.
    if (input.layout == HypLayout::kPoints &&
        cli::IsMotRow(LineOf(base::WithoutByteOrderMark(text), problem->line)))
      message += "; the file looks like MOT rows: use --hyp-format mot";
    return message;
  }
  loaded.objects = FrameObjects(std::move(rows));
  return std::nullopt;
}
