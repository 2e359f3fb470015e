#include "report/TrackScoreReport.h"

#include <charconv>
#include <cstdio>
#include <string>

#include "tracks/MeasuredPath.h"
#include "tracks/TrackSet.h"

namespace {

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

void PrintTrackScores(const CTrackSet& tracks, const MeasuredPath& path, int from, int to, bool csv,
                      std::ostream& out) {
  if (csv) {
    out << "track,mean,variance\n";
  } else {
    char header[64];
    std::snprintf(header, sizeof header, "%-5s %16s %16s\n", "track", "mean", "variance");
    out << header;
  }
  double bestVariance = 0.0;
  const double best = tracks.BestMatch(path.xs, path.ys, from, to, &bestVariance);
  // BestMatch gives the score only; the track is the first enabled one with
  // that mean, as ties go to the lower index.
  int bestTrack = -1;
  for (int i = 0; i < tracks.TracksInUse(); ++i) {
    if (tracks.m_tracks[i].m_enabled != 1) {
      // A disabled track has no score: empty fields in the rows.
      out << (csv ? std::to_string(i) + ",," : TableLabel(std::to_string(i)) + "disabled") << '\n';
      continue;
    }
    double variance = 0.0;
    const double mean = tracks.TrackError(path.xs, path.ys, from, to, i, &variance);
    if (bestTrack < 0 && best < kNoTrackMatch && mean == best)
      bestTrack = i;
    if (csv)
      out << i << ',' << Exact(mean) << ',' << Exact(variance) << '\n';
    else
      out << TableRow(std::to_string(i), mean, variance) << '\n';
  }

  if (csv) {
    out << "best," << Exact(best) << ',' << Exact(bestVariance) << '\n';
    return;
  }
  out << TableRow("best", best, bestVariance);
  if (bestTrack >= 0)
    out << "  track " << bestTrack << '\n';
  else
    out << "  no track matches\n";
}
