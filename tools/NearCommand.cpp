// korvane-cli near: whether a point lies near a disabled target of a track
// file.

#include <memory>

#include "base/NumberText.h"
#include "tools/Cli.h"
#include "tools/CommandLine.h"
#include "tools/CommandTable.h"
#include "tools/TrackFileInput.h"
#include "tracks/TrackSet.h"

namespace {

constexpr std::string_view kNear = "near";

}  // namespace

int RunNearCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  if (const auto status = cli::ReadCommandArgs(args, {}, kNear, out, err, parsed))
    return *status;
  if (parsed.positional.size() != 5)
    return cli::UsageError(err, kNear, "expects a track file, X, Y, FRAME and THRESHOLD");
  const std::optional<int> x = base::ParseInt(parsed.positional[1]);
  const std::optional<int> y = base::ParseInt(parsed.positional[2]);
  if (!x || !y)
    return cli::UsageError(err, kNear, "X and Y must be integers");
  const std::optional<int> frame = base::ParseInt(parsed.positional[3]);
  if (!frame || !IsTrackFrame(*frame))
    return cli::UsageError(err, kNear, "FRAME must be a frame from 0 to 499");
  const std::optional<double> threshold = base::ParseDouble(parsed.positional[4]);
  if (!threshold)
    return cli::UsageError(err, kNear, "THRESHOLD must be a number");

  const std::string& trackFile = parsed.positional[0];
  auto tracks = std::make_unique<CTrackSet>();
  if (const auto problem = cli::LoadCommandTracks(trackFile, *tracks, kNear, err))
    return cli::Failure(err, kNear, *problem);
  out << (tracks->NearDisabledTarget(*x, *y, *frame, *threshold) ? "near\n" : "not near\n");
  return cli::kExitOk;
}

const cli::Command cli::kNearCommand{
    "near", "near TRACKS X Y FRAME THRESHOLD",
    R"(Loads the track file TRACKS and tells whether a disabled target lies strictly
closer than THRESHOLD to the point (X, Y) at frame FRAME (0 to 499): prints
"near" or "not near". A track file that describes no targets gets a warning.
)",
    &RunNearCommand};
