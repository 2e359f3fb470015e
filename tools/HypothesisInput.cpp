#include "tools/HypothesisInput.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <sstream>

#include "base/InputFile.h"
#include "base/TextBytes.h"
#include "base/Trace.h"
#include "eval/HypothesisReader.h"
#include "geometry/GeometryFile.h"
#include "image/SeriesFrames.h"
#include "mot/MotConversion.h"
#include "mot/MotRows.h"
#include "tools/TrackFileInput.h"
#include "tracks/TrackSet.h"

namespace cli {
namespace {

// The nearest whole pixel, for the track set's own test of nearness.
int Pixel(double value) {
  return static_cast<int>(std::clamp(std::llround(value), -2147483647LL, 2147483647LL));
}

}  // namespace

namespace {

// Line `number` (from 1) of text.
std::string_view LineOf(std::string_view text, std::size_t number) {
  for (std::size_t line = 1; line < number && !text.empty(); ++line) {
    const std::size_t newline = text.find('\n');
    text.remove_prefix(newline == std::string_view::npos ? text.size() : newline + 1);
  }
  return text.substr(0, text.find('\n'));
}

}  // namespace

std::optional<std::string> ReadHypothesisOptions(const ParsedArgs& parsed, HypothesisInput& input) {
  const std::string* format = parsed.Value("--hyp-format");
  const std::string_view name = format == nullptr ? "points" : std::string_view(*format);
  if (name == "points")
    input.layout = HypLayout::kPoints;
  else if (name == "mot")
    input.layout = HypLayout::kMot;
  else if (name == "tracks")
    input.layout = HypLayout::kTracks;
  else
    return "--hyp-format must be points, mot or tracks";
  if (const std::string* geometry = parsed.Value("--geometry")) {
    if (input.layout != HypLayout::kMot)
      return "--geometry goes with --hyp-format mot (box centres in source coordinates)";
    input.geometryFile = *geometry;
  }
  return std::nullopt;
}

std::optional<std::string> LoadHypotheses(const HypothesisInput& input, LoadedHypotheses& loaded) {
  if (input.layout == HypLayout::kTracks) {
    auto tracks = std::make_unique<CTrackSet>();
    std::ostringstream ignored;  // no targets is a tracker's answer, not a warning
    if (auto problem = LoadCommandTracks(input.file, *tracks, "", ignored))
      return problem;
    loaded.objects = ObjectsFromTracks(*tracks);
    return std::nullopt;
  }
  FrameGeometry geometry;
  if (!input.geometryFile.empty()) {
    if (auto problem = ReadGeometryFile(input.geometryFile, geometry))
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
    const FrameGeometry* through = input.geometryFile.empty() ? nullptr : &geometry;
    const MotPlacement place = [through](int motFrame, double x, double y) {
      const PlacedCentre placed = PlaceMotCentre(through, motFrame, {x, y});
      return PlacedObject{placed.frame, placed.position.x, placed.position.y};
    };
    problem = ReadPlacedMotHypotheses(text, place, rows, loaded.outsideRows);
  }
  if (problem) {
    std::string message = input.file + ":" + std::to_string(problem->line) + ": " + problem->what;
    // Rows read in the wrong layout fail far from their cause: name it.
    if (input.layout == HypLayout::kPoints &&
        IsMotRow(LineOf(base::WithoutByteOrderMark(text), problem->line)))
      message += "; the file looks like MOT rows: use --hyp-format mot";
    return message;
  }
  loaded.objects = FrameObjects(std::move(rows));
  return std::nullopt;
}

void NoteRowsLeftOut(std::ostream& err, std::string_view command, const HypothesisInput& input,
                     const LoadedHypotheses& loaded) {
  const std::span<const FrameObject> all = loaded.objects.All();
  const bool noneInside = !all.empty() && std::none_of(all.begin(), all.end(), [](const auto& h) {
    return h.x >= 0.0 && h.x < series::kFrameWidth && h.y >= 0.0 && h.y < series::kFrameHeight;
  });
  if (noneInside) {
    err << "korvane-cli " << command << ": warning: no hypothesis of " << input.file
        << " lies inside the " << series::kFrameWidth << " x " << series::kFrameHeight << " picture"
        << (input.layout == HypLayout::kMot && input.geometryFile.empty()
                ? ": boxes in source pixels need the series' --geometry\n"
                : "\n");
  }
  if (loaded.outsideRows > 0)
    err << "korvane-cli " << command << ": note: " << loaded.outsideRows
        << (loaded.outsideRows == 1 ? " row of " : " rows of ") << input.file
        << (loaded.outsideRows == 1 ? " falls outside frames 0 to 499 and is left out\n"
                                    : " fall outside frames 0 to 499 and are left out\n");
}

IgnoreTest NearDisabledTargetTest(const CTrackSet& truth, double threshold) {
  return [&truth, threshold](const FrameObject& h, int frame) {
    return truth.NearDisabledTarget(Pixel(h.x), Pixel(h.y), frame, threshold);
  };
}

}  // namespace cli
