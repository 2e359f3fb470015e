// korvane-cli tracks2mot: the program's track file back to MOTChallenge rows
// in source coordinates, through a series' geometry.

#include <memory>

#include "base/AtomicFile.h"
#include "base/FileStatus.h"
#include "base/NumberText.h"
#include "base/Trace.h"
#include "mot/MotConversion.h"
#include "mot/MotRows.h"
#include "tools/Cli.h"
#include "tools/CommandLine.h"
#include "tools/CommandTable.h"
#include "tools/GeometryOption.h"
#include "tracks/TrackSet.h"

namespace {

constexpr std::string_view kTracksToMot = "tracks2mot";
constexpr cli::OptionRule kTracksToMotOptions[] = {{"--geometry", true}, {"--box", true}};

}  // namespace

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
    const auto width = base::ParseDouble(box->substr(0, comma));
    const auto height =
        comma == std::string::npos ? std::nullopt : base::ParseDouble(box->substr(comma + 1));
    if (!width || !height || *width <= 0.0 || *height <= 0.0)
      return cli::UsageError(err, kTracksToMot, "--box takes W,H: two numbers above 0");
    boxWidth = *width;
    boxHeight = *height;
  }
  const std::string& trackFile = parsed.positional[0];
  const std::string& outFile = parsed.positional[1];
  if (base::SameFile(trackFile, outFile))
    return cli::Failure(err, kTracksToMot, "refuses to write " + outFile + " over its input");
  cli::FrameGeometry geometry;
  bool hasGeometry = false;
  if (auto problem = cli::ReadGivenGeometry(parsed, geometry, hasGeometry))
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
  if (auto problem = base::WriteFileAtomically(outFile, text))
    return cli::Failure(err, kTracksToMot, *problem);
  out << "tracks2mot: " << rows.size() << " rows of " << positions.xs.size()
      << " targets, written to " << outFile << '\n';
  return cli::kExitOk;
}

const cli::Command cli::kTracksToMotCommand{
    "tracks2mot", "tracks2mot TRACKS OUTFILE [--geometry FILE] [--box W,H]",
    R"(Turns a track file into MOTChallenge rows: for every target and every frame
where it has a position, "frame,id,left,top,width,height,1,1,1" with a W x H
box (default 10,10, in frame pixels) centred on the position, all mapped back
to source coordinates and numbers through --geometry when given. Ids count
from 1 in the order of the track file's targets. The track file is read as
the program reads it; rows that disable a target are not positions and are
left out. mot2tracks with the same geometry gives back the track file.
)",
    &RunTracksToMotCommand};
