// korvane-cli mot2tracks: MOTChallenge ground truth to the program's track
// file, mapped through a series' geometry.

#include <algorithm>

#include "base/AtomicFile.h"
#include "base/FileStatus.h"
#include "base/NumberText.h"
#include "mot/MotConversion.h"
#include "mot/MotRows.h"
#include "tools/Cli.h"
#include "tools/CommandLine.h"
#include "tools/CommandTable.h"
#include "tools/GeometryOption.h"
#include "tracks/TrackSet.h"

namespace {

constexpr std::string_view kMotToTracks = "mot2tracks";
constexpr cli::OptionRule kMotToTracksOptions[] = {
    {"--geometry", true}, {"--classes", true}, {"--ids", true}};

// Comma-separated integers, none twice; nothing when the text is not that.
std::optional<std::vector<int>> ParseList(const std::string& text) {
  std::vector<int> values;
  std::size_t from = 0;
  while (from <= text.size()) {
    const std::size_t comma = std::min(text.find(',', from), text.size());
    const std::optional<int> value =
        base::ParseInt(std::string_view(text).substr(from, comma - from));
    if (!value || std::find(values.begin(), values.end(), *value) != values.end())
      return std::nullopt;
    values.push_back(*value);
    from = comma + 1;
  }
  return values;
}

// "1 row", "2 rows".
std::string Counted(int count, std::string_view one, std::string_view many) {
  return std::to_string(count) + " " + std::string(count == 1 ? one : many);
}

// The warning and notes about what the conversion left out or changed, each
// count of its own so that they add up to the rows read.
void ReportCounts(const cli::MotCounts& c, bool idsGiven, std::ostream& err) {
  std::vector<std::string> dropped;
  if (c.droppedTargets > 0)
    dropped.push_back(Counted(c.droppedTargets, "target", "targets") + " (" +
                      Counted(c.droppedTargetRows, "row", "rows") + ") " +
                      (idsGiven ? std::string("not among --ids")
                                : "beyond the " + std::to_string(MAX_TRACKS) + " kept"));
  const std::string frames = "frames 0 to " + std::to_string(MAX_TRACK_FRAMES - 1);
  if (c.outsideTargets > 0)
    dropped.push_back(Counted(c.outsideTargets, "target", "targets") + " (" +
                      Counted(c.outsideTargetRows, "row", "rows") + ") wholly outside " + frames);
  if (c.outsideFrameRows > 0)
    dropped.push_back(Counted(c.outsideFrameRows, "row", "rows") + " of other targets outside " +
                      frames);
  if (c.clampedPositions > 0)
    dropped.push_back(Counted(c.clampedPositions, "coordinate", "coordinates") +
                      " clamped to -999..999");
  if (c.emptyTargets > 0)
    dropped.push_back(Counted(c.emptyTargets, "id", "ids") + " of --ids without a box");
  for (std::size_t i = 0; i < dropped.size(); ++i)
    err << (i == 0 ? "korvane-cli mot2tracks: warning: " : "; ") << dropped[i];
  if (!dropped.empty())
    err << '\n';
  if (c.ignoredRows > 0 || c.otherClassRows > 0 || c.movedPositions > 0)
    err << "korvane-cli mot2tracks: note: " << Counted(c.ignoredRows, "row", "rows")
        << " with conf 0 skipped, " << Counted(c.otherClassRows, "row", "rows")
        << " of other classes skipped, " << Counted(c.movedPositions, "position", "positions")
        << " at (0, 0) written as (1, 0)\n";
}

}  // namespace

int RunMotToTracksCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  if (const auto status =
          cli::ReadCommandArgs(args, kMotToTracksOptions, kMotToTracks, out, err, parsed))
    return *status;
  if (parsed.positional.size() != 2)
    return cli::UsageError(err, kMotToTracks, "expects GT and OUTFILE");
  cli::MotSelection selection;
  if (const std::string* classes = parsed.Value("--classes")) {
    const auto list = ParseList(*classes);
    if (!list)
      return cli::UsageError(err, kMotToTracks, "--classes takes comma-separated integers");
    selection.classes.emplace(list->begin(), list->end());
  }
  if (const std::string* ids = parsed.Value("--ids")) {
    const auto list = ParseList(*ids);
    if (!list || list->size() > static_cast<std::size_t>(MAX_TRACKS))
      return cli::UsageError(err, kMotToTracks,
                             "--ids takes at most " + std::to_string(MAX_TRACKS) +
                                 " different comma-separated integers");
    selection.ids = *list;
  }
  const std::string& gt = parsed.positional[0];
  const std::string& outFile = parsed.positional[1];
  std::vector<std::string> inputs{gt};
  if (const std::string* geometryFile = parsed.Value("--geometry"))
    inputs.push_back(*geometryFile);
  if (base::OutputOverInput(inputs, std::span(&outFile, 1)))
    return cli::Failure(err, kMotToTracks, "refuses to write " + outFile + " over its input");

  cli::FrameGeometry geometry;
  bool hasGeometry = false;
  if (auto problem = cli::ReadGivenGeometry(parsed, geometry, hasGeometry))
    return cli::Failure(err, kMotToTracks, *problem);
  selection.geometry = hasGeometry ? &geometry : nullptr;
  std::vector<cli::MotRow> rows;
  if (auto problem = cli::ReadMotFile(gt, rows))
    return cli::Failure(err, kMotToTracks, *problem);
  std::string text;
  cli::MotCounts counts;
  if (auto problem = cli::MotToTrackText(rows, selection, gt, text, counts))
    return cli::Failure(err, kMotToTracks, *problem);
  if (auto problem = base::WriteFileAtomically(outFile, text))
    return cli::Failure(err, kMotToTracks, *problem);
  ReportCounts(counts, !selection.ids.empty(), err);
  out << "mot2tracks: " << counts.targets << " targets, " << counts.frames << " frames, written to "
      << outFile << '\n';
  return cli::kExitOk;
}

const cli::Command cli::kMotToTracksCommand{
    "mot2tracks", "mot2tracks GT OUTFILE [--geometry FILE] [--classes LIST] [--ids LIST]",
    R"(Turns MOTChallenge ground truth into a track file. GT holds rows
    frame,id,left,top,width,height[,conf[,class[,visibility[,...]]]]
(frames from 1; commas or white space between the fields). Rows with conf 0
are not targets and are skipped. A target's position is the centre of its
box, mapped through the series' geometry file into the 320 x 240 frame and
rounded; frame numbers map through it too. Without --geometry, positions and
frame numbers are taken as they stand.
  --geometry FILE  the .geometry file import wrote beside the series
  --classes LIST   keep only rows of these classes (comma-separated integers)
  --ids LIST       these target ids, in this order (at most 50); by default
                   the first 50 ids to appear, in order of their first frame
OUTFILE gets the count, the first frame, then one "x y" row per target per
frame up to the last frame with a box, "0 0" where a target has no box. A
position that would read as absent (0, 0) is written as (1, 0); coordinates
are clamped to -999..999, since above 999 a row disables its target. Targets
beyond 50 and frames outside 0 to 499 are dropped and counted in a warning.
A bad line fails the command naming FILE:LINE; OUTFILE is written whole
through a temporary file, or not at all.
)",
    &RunMotToTracksCommand};
