// korvane-cli score: the track comparison statistics of a track file against
// a measured path.

#include <memory>

#include "base/NumberText.h"
#include "report/TrackScoreReport.h"
#include "tools/Cli.h"
#include "tools/CommandLine.h"
#include "tools/CommandTable.h"
#include "tools/TrackFileInput.h"
#include "tracks/MeasuredPath.h"
#include "tracks/TrackSet.h"

namespace {

constexpr std::string_view kScore = "score";
constexpr cli::OptionRule kScoreOptions[] = {{"--csv", false}};

}  // namespace

int RunScoreCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  if (const auto status = cli::ReadCommandArgs(args, kScoreOptions, kScore, out, err, parsed))
    return *status;
  if (parsed.positional.size() != 4)
    return cli::UsageError(err, kScore, "expects a track file, a measured path, FROM and TO");
  const std::optional<int> from = base::ParseInt(parsed.positional[2]);
  const std::optional<int> to = base::ParseInt(parsed.positional[3]);
  if (!from || !to || !IsTrackFrame(*from) || !IsTrackFrame(*to) || *from > *to)
    return cli::UsageError(err, kScore, "FROM and TO must be frames with 0 <= FROM <= TO <= 499");

  const std::string& trackFile = parsed.positional[0];
  auto tracks = std::make_unique<CTrackSet>();
  if (const auto problem = cli::LoadCommandTracks(trackFile, *tracks, kScore, err))
    return cli::Failure(err, kScore, *problem);
  MeasuredPath path;
  if (const auto problem = ReadMeasuredPath(parsed.positional[1], path))
    return cli::Failure(err, kScore, *problem);

  PrintTrackScores(*tracks, path, *from, *to, parsed.Has("--csv"), out);
  return cli::kExitOk;
}

const cli::Command cli::kScoreCommand{
    "score", "score TRACKS MEASURED FROM TO [--csv]",
    R"(Loads the track file TRACKS (laid out like truetracks.txt) and the measured
path MEASURED, and prints, for every enabled track, the mean and the population
variance of the squared distances between path and track over the frames FROM
to TO (0 <= FROM <= TO <= 499), then the best match: the lowest mean over the
enabled tracks and its variance (1e+11 and 0 when no track matches).
MEASURED is text with one measured position per line:
    frame x y
  frame 0 to 499, x and y integers, each frame at most once; '#' starts a
  comment that runs to the end of the line; blank lines are ignored. A frame
  the file does not give counts as (0, 0), like a track's frame without a
  position.
  --csv   print "track,mean,variance" rows and a last row "best,MEAN,VARIANCE"
          instead of the table; the numbers are then exact, and a disabled
          track's fields are empty.
A track file that describes no targets is scored as such, with a warning.
)",
    &RunScoreCommand};
