// Comparing measured paths and points with the ground-truth tracks.

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "tracks/TrackSet.h"

namespace {

// Squared distance between two points. The differences are taken in 64 bits
// and squared in double: in int they overflow for coordinates far apart.
double SquaredDistance(int x1, int y1, int x2, int y2) {
  const auto dx = static_cast<double>(std::int64_t{x1} - x2);
  const auto dy = static_cast<double>(std::int64_t{y1} - y2);
  return dx * dx + dy * dy;
}

void WriteVariance(double* variance, double value) {
  if (variance != nullptr) {
    *variance = value;
  }
}

}  // namespace

double CTrackSet::TrackError(std::span<const int> xs, std::span<const int> ys, int from, int to,
                             int track, double* variance) const {
  const bool rangeValid = from >= 0 && from <= to && to < MAX_TRACK_FRAMES;
  const bool trackValid = track >= 0 && track < MAX_TRACKS;
  if (!rangeValid || !trackValid || xs.size() <= static_cast<std::size_t>(to) ||
      ys.size() <= static_cast<std::size_t>(to)) {
    WriteVariance(variance, 0.0);
    return kNoTrackMatch;
  }

  // The per-frame values are kept so the variance can be taken around the
  // mean in a second pass; the range never exceeds the track length.
  std::array<double, MAX_TRACK_FRAMES> squared{};
  const CTrack& truth = m_tracks[track];
  const int n = to - from + 1;
  double sum = 0.0;
  for (int k = from; k <= to; ++k) {
    const double d = SquaredDistance(truth.m_x[k], truth.m_y[k], xs[k], ys[k]);
    squared[k - from] = d;
    sum += d;
  }
  const double mean = sum / n;

  double spread = 0.0;
  for (int i = 0; i < n; ++i) {
    const double deviation = squared[i] - mean;
    spread += deviation * deviation;
  }
  WriteVariance(variance, spread / n);
  return mean;
}

double CTrackSet::BestMatch(std::span<const int> xs, std::span<const int> ys, int from, int to,
                            double* variance) const {
  double best = kNoTrackMatch;
  double bestVariance = 0.0;
  ForEachEnabledTrack([&](int i, const CTrack&) {
    double trackVariance = 0.0;
    const double mean = TrackError(xs, ys, from, to, i, &trackVariance);
    // Strictly lower, so on equal means the earlier track stays.
    if (mean < best) {
      best = mean;
      bestVariance = trackVariance;
    }
  });
  WriteVariance(variance, bestVariance);
  return best;
}

bool CTrackSet::NearDisabledTarget(int x, int y, int frame, double threshold) const {
  if (!IsTrackFrame(frame)) {
    return false;
  }
  const int inUse = TracksInUse();
  for (int i = 0; i < inUse; ++i) {
    const CTrack& track = m_tracks[i];
    if (track.m_enabled != 0) {
      continue;
    }
    const double distance = std::sqrt(SquaredDistance(x, y, track.m_x[frame], track.m_y[frame]));
    if (threshold > distance) {
      return true;
    }
  }
  return false;
}
