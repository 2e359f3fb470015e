// korvane-cli tracks2mot: the program's track file back to MOTChallenge rows
// in source coordinates, through a series' geometry.

#include <memory>
#include <span>
#include <vector>

#include "base/AtomicFile.h"
#include "base/FileStatus.h"
#include "base/NumberText.h"
#include "mot/MotConversion.h"
#include "mot/MotRows.h"
#include "tools/Cli.h"
#include "tools/CommandLine.h"
#include "tools/CommandTable.h"
#include "tools/GeometryOption.h"
#include "tools/TrackFileInput.h"
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
  const std::string* geometryFile = parsed.Value("--geometry");
  std::vector<std::string> inputs{trackFile};
  if (geometryFile != nullptr)
    inputs.push_back(*geometryFile);
  if (base::OutputOverInput(inputs, std::span(&outFile, 1)))
    return cli::Failure(err, kTracksToMot, "refuses to write " + outFile + " over its input");
  cli::FrameGeometry geometry;
  bool hasGeometry = false;
  if (auto problem = cli::ReadGivenGeometry(parsed, geometry, hasGeometry))
    return cli::Failure(err, kTracksToMot, *problem);

  auto tracks = std::make_unique<CTrackSet>();
  if (auto problem = cli::LoadCommandTracks(trackFile, *tracks, kTracksToMot, err))
    return cli::Failure(err, kTracksToMot, *problem);
  const cli::TrackPositions positions = cli::PositionsOf(*tracks);
  cli::TrackRowCounts counts;
  const std::vector<cli::MotRow> rows = cli::TracksToMotRows(
      positions, hasGeometry ? &geometry : nullptr, boxWidth, boxHeight, counts);
  // Rows the geometry cannot place are no answer: boxes that are not
  // numbers, or no row at all, fail; a part left out is counted.
  const std::string of = " of the " + std::to_string(counts.positions) + " positions of " +
                         trackFile + " through " + (hasGeometry ? *geometryFile : "");
  if (counts.notFinite > 0)
    return cli::Failure(err, kTracksToMot,
                        std::to_string(counts.notFinite) + of +
                            " map to boxes that are not finite numbers (the scale is too small); "
                            "nothing is written");
  if (counts.outsideNumbers > 0 && rows.empty())
    return cli::Failure(err, kTracksToMot,
                        "all" + of +
                            " map to source frame numbers beyond int (first_frame, "
                            "first_source); nothing is written");
  if (auto problem = base::WriteFileAtomically(outFile, cli::MotRowsText(rows)))
    return cli::Failure(err, kTracksToMot, *problem);
  if (counts.outsideNumbers > 0)
    err << "korvane-cli tracks2mot: warning: " << counts.outsideNumbers << of
        << " map to source frame numbers beyond int (first_frame, first_source) and are left "
           "out\n";
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
A geometry that maps positions to boxes that are not finite numbers, or
every frame to a source number beyond int, fails the command; rows of
frames it cannot number are left out and counted in a warning.
)",
    &RunTracksToMotCommand};
