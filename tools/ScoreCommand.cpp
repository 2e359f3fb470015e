// korvane-cli score: the track comparison statistics of a track file against
// a measured path.

#include <charconv>
#include <cstdio>
#include <memory>

#include "base/InputFile.h"
#include "base/NumberText.h"
#include "base/Trace.h"
#include "tools/Cli.h"
#include "tools/CommandLine.h"
#include "tools/CommandTable.h"
#include "tools/TrackFileInput.h"
#include "tracks/MeasuredPath.h"
#include "tracks/TrackSet.h"

namespace {

constexpr std::string_view kScore = "score";
constexpr cli::OptionRule kScoreOptions[] = {{"--csv", false}};

// The shortest text that reads back as the same double.
std::string Exact(double value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return std::string(text, result.ptr);
}

std::string TableLabel(const std::string& label) {
  char text[32];
  std::snprintf(text, sizeof text, "%-5s ", label.c_str());
  return text;
}

// One line of the table: a label in the first column, then mean and
// variance with three decimals.
std::string TableRow(const std::string& label, double mean, double variance) {
  char text[96];
  std::snprintf(text, sizeof text, "%-5s %16.3f %16.3f", label.c_str(), mean, variance);
  return text;
}

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

  const bool csv = parsed.Has("--csv");
  if (csv) {
    out << "track,mean,variance\n";
  } else {
    char header[64];
    std::snprintf(header, sizeof header, "%-5s %16s %16s\n", "track", "mean", "variance");
    out << header;
  }
  double bestVariance = 0.0;
  const double best = tracks->BestMatch(path.xs, path.ys, *from, *to, &bestVariance);
  // BestMatch gives the score only; the track is the first enabled one with
  // that mean, as ties go to the lower index.
  int bestTrack = -1;
  for (int i = 0; i < tracks->TracksInUse(); ++i) {
    if (tracks->m_tracks[i].m_enabled != 1) {
      // A disabled track has no score: empty fields in the rows.
      out << (csv ? std::to_string(i) + ",," : TableLabel(std::to_string(i)) + "disabled") << '\n';
      continue;
    }
    double variance = 0.0;
    const double mean = tracks->TrackError(path.xs, path.ys, *from, *to, i, &variance);
    if (bestTrack < 0 && best < kNoTrackMatch && mean == best)
      bestTrack = i;
    if (csv)
      out << i << ',' << Exact(mean) << ',' << Exact(variance) << '\n';
    else
      out << TableRow(std::to_string(i), mean, variance) << '\n';
  }

  if (csv) {
    out << "best," << Exact(best) << ',' << Exact(bestVariance) << '\n';
    return cli::kExitOk;
  }
  out << TableRow("best", best, bestVariance);
  if (bestTrack >= 0)
    out << "  track " << bestTrack << '\n';
  else
    out << "  no track matches\n";
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
