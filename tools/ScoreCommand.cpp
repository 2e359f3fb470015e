// korvane-cli score and near: the track comparison statistics of a track
// file against a measured path or a point.

#include <charconv>
#include <cstdio>
#include <memory>

#include "base/Trace.h"
#include "tools/Cli.h"
#include "tools/CliUsage.h"
#include "tools/InputFile.h"
#include "tools/MeasuredPath.h"
#include "tools/TrackFileInput.h"
#include "tracks/TrackSet.h"

namespace {

constexpr std::string_view kScore = "score";
constexpr std::string_view kNear = "near";
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
  const std::optional<int> from = cli::ParseInt(parsed.positional[2]);
  const std::optional<int> to = cli::ParseInt(parsed.positional[3]);
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

int RunNearCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  cli::ParsedArgs parsed;
  if (const auto status = cli::ReadCommandArgs(args, {}, kNear, out, err, parsed))
    return *status;
  if (parsed.positional.size() != 5)
    return cli::UsageError(err, kNear, "expects a track file, X, Y, FRAME and THRESHOLD");
  const std::optional<int> x = cli::ParseInt(parsed.positional[1]);
  const std::optional<int> y = cli::ParseInt(parsed.positional[2]);
  if (!x || !y)
    return cli::UsageError(err, kNear, "X and Y must be integers");
  const std::optional<int> frame = cli::ParseInt(parsed.positional[3]);
  if (!frame || !IsTrackFrame(*frame))
    return cli::UsageError(err, kNear, "FRAME must be a frame from 0 to 499");
  const std::optional<double> threshold = cli::ParseDouble(parsed.positional[4]);
  if (!threshold)
    return cli::UsageError(err, kNear, "THRESHOLD must be a number");

  const std::string& trackFile = parsed.positional[0];
  auto tracks = std::make_unique<CTrackSet>();
  if (const auto problem = cli::LoadCommandTracks(trackFile, *tracks, kNear, err))
    return cli::Failure(err, kNear, *problem);
  out << (tracks->NearDisabledTarget(*x, *y, *frame, *threshold) ? "near\n" : "not near\n");
  return cli::kExitOk;
}
