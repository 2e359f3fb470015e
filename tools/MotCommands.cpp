// korvane-cli mot2tracks and tracks2mot: MOTChallenge ground truth to the
// program's track file, mapped through a series' geometry, and back.

#include <filesystem>
#include <memory>
#include <set>
#include <system_error>

#include "base/Trace.h"
#include "tools/Cli.h"
#include "tools/CliFiles.h"
#include "tools/CliUsage.h"
#include "tools/GeometryFile.h"
#include "tools/MotConversion.h"
#include "tools/MotReader.h"
#include "tracks/TrackSet.h"

namespace {

constexpr std::string_view kMotToTracks = "mot2tracks";
constexpr std::string_view kTracksToMot = "tracks2mot";
constexpr cli::OptionRule kMotToTracksOptions[] = {
    {"--geometry", true}, {"--classes", true}, {"--ids", true}};
constexpr cli::OptionRule kTracksToMotOptions[] = {{"--geometry", true}, {"--box", true}};

// Comma-separated integers, none twice; nothing when the text is not that.
std::optional<std::vector<int>> ParseList(const std::string& text) {
  std::vector<int> values;
  std::size_t from = 0;
  while (from <= text.size()) {
    const std::size_t comma = std::min(text.find(',', from), text.size());
    const std::optional<int> value =
        cli::ParseInt(std::string_view(text).substr(from, comma - from));
    if (!value || std::find(values.begin(), values.end(), *value) != values.end())
      return std::nullopt;
    values.push_back(*value);
    from = comma + 1;
  }
  return values;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

// The geometry named by --geometry, read into geometry; `given` tells
// whether there was one. Returns what is wrong with the file.
std::optional<std::string> ReadGivenGeometry(const cli::ParsedArgs& parsed,
                                             cli::FrameGeometry& geometry, bool& given) {
  const std::string* file = parsed.Value("--geometry");
  given = file != nullptr;
  return given ? cli::ReadGeometryFile(*file, geometry) : std::nullopt;
}

// The warning and notes about what the conversion left out or changed.
void ReportCounts(const cli::MotCounts& c, std::ostream& err) {
  std::vector<std::string> dropped;
  if (c.droppedTargets > 0)
    dropped.push_back(std::to_string(c.droppedTargets) + " targets (" +
                      std::to_string(c.droppedTargetRows) + " rows) beyond the " +
                      std::to_string(MAX_TRACKS) + " kept or not among --ids");
  if (c.outsideFrameRows > 0)
    dropped.push_back(std::to_string(c.outsideFrameRows) + " rows outside frames 0 to " +
                      std::to_string(MAX_TRACK_FRAMES - 1));
  if (c.clampedPositions > 0)
    dropped.push_back(std::to_string(c.clampedPositions) + " coordinates clamped to -999..999");
  if (c.emptyTargets > 0)
    dropped.push_back(std::to_string(c.emptyTargets) + " ids of --ids without a box");
  for (std::size_t i = 0; i < dropped.size(); ++i)
    err << (i == 0 ? "korvane-cli mot2tracks: warning: " : "; ") << dropped[i];
  if (!dropped.empty())
    err << '\n';
  if (c.ignoredRows > 0 || c.otherClassRows > 0 || c.movedPositions > 0)
    err << "korvane-cli mot2tracks: note: " << c.ignoredRows << " rows with conf 0 skipped, "
        << c.otherClassRows << " rows of other classes skipped, " << c.movedPositions
        << " positions at (0, 0) written as (1, 0)\n";
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
  if (SameFile(gt, outFile))
    return cli::Failure(err, kMotToTracks, "refuses to write " + outFile + " over its input");

  cli::FrameGeometry geometry;
  bool hasGeometry = false;
  if (auto problem = ReadGivenGeometry(parsed, geometry, hasGeometry))
    return cli::Failure(err, kMotToTracks, *problem);
  selection.geometry = hasGeometry ? &geometry : nullptr;
  std::vector<cli::MotRow> rows;
  if (auto problem = cli::ReadMotFile(gt, rows))
    return cli::Failure(err, kMotToTracks, *problem);
  std::string text;
  cli::MotCounts counts;
  if (auto problem = cli::MotToTrackText(rows, selection, gt, text, counts))
    return cli::Failure(err, kMotToTracks, *problem);
  if (auto problem = cli::WriteFileAtomically(outFile, text))
    return cli::Failure(err, kMotToTracks, *problem);
  ReportCounts(counts, err);
  out << "mot2tracks: " << counts.targets << " targets, " << counts.frames << " frames, written to "
      << outFile << '\n';
  return cli::kExitOk;
}

int RunTracksToMotCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  if (const auto status =
          cli::ReadCommandArgs(args, kTracksToMotOptions, kTracksToMot, out, err, parsed))
    return *status;
  if (parsed.positional.size() != 2)
    return cli::UsageError(err, kTracksToMot, "expects TRACKS and OUTFILE");
  double boxWidth = 10.0;
  double boxHeight = 10.0;
  if (const std::string* box = parsed.Value("--box")) {
    const std::size_t comma = box->find(',');
    const auto width = cli::ParseDouble(box->substr(0, comma));
    const auto height =
        comma == std::string::npos ? std::nullopt : cli::ParseDouble(box->substr(comma + 1));
    if (!width || !height || *width <= 0.0 || *height <= 0.0)
      return cli::UsageError(err, kTracksToMot, "--box takes W,H: two numbers above 0");
    boxWidth = *width;
    boxHeight = *height;
  }
  const std::string& trackFile = parsed.positional[0];
  const std::string& outFile = parsed.positional[1];
  if (SameFile(trackFile, outFile))
    return cli::Failure(err, kTracksToMot, "refuses to write " + outFile + " over its input");
  cli::FrameGeometry geometry;
  bool hasGeometry = false;
  if (auto problem = ReadGivenGeometry(parsed, geometry, hasGeometry))
    return cli::Failure(err, kTracksToMot, *problem);

  auto tracks = std::make_unique<CTrackSet>();
  {
    // The loader's notes on disabled targets are not this command's output.
    const base::ScopedTraceSink quiet([](std::string_view) {});
    if (!tracks->LoadTrueTracksFrom(trackFile.c_str()))
      return cli::Failure(err, kTracksToMot, trackFile + ": cannot be read as a track file");
  }
  cli::TrackPositions positions;
  for (int i = 0; i < tracks->TracksInUse(); ++i) {
    const CTrack& track = tracks->m_tracks[i];
    positions.xs.emplace_back(track.m_x.get(), track.m_x.get() + MAX_TRACK_FRAMES);
    positions.ys.emplace_back(track.m_y.get(), track.m_y.get() + MAX_TRACK_FRAMES);
  }
  const std::vector<cli::MotRow> rows =
      cli::TracksToMotRows(positions, hasGeometry ? &geometry : nullptr, boxWidth, boxHeight);
  std::string text;
  for (const cli::MotRow& row : rows)
    text += cli::MotRowText(row) + '\n';
  if (auto problem = cli::WriteFileAtomically(outFile, text))
    return cli::Failure(err, kTracksToMot, *problem);
  out << "tracks2mot: " << rows.size() << " rows of " << positions.xs.size()
      << " targets, written to " << outFile << '\n';
  return cli::kExitOk;
}
