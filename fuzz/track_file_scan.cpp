// Feeds arbitrary text to the check command's track file scan and to the
// loader, and traps when the two disagree: the scan walks the file with the
// loader's own row reader, so the targets it counts and the targets it finds
// disabled must be those the loader keeps and disables. Text the scan quotes
// in its report must be printable.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Trace.h"
#include "fuzz/FuzzSupport.h"
#include "tracks/TrackFileScan.h"
#include "tracks/TrackSet.h"

namespace {

using fuzz::Check;

bool Printable(const std::string& line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const base::ScopedTraceSink quiet([](std::string_view) {});
  const TrackFileReport report =
      ScanTrackText(std::string(reinterpret_cast<const char*>(data), size));
  for (const auto* lines : {&report.problems, &report.notes}) {
    for (const std::string& line : *lines)
      Check(Printable(line));
  }

  static CTrackSet loaded;
  fuzz::ForgetEarlierLoads(loaded);
  const fuzz::InputStream input(data, size);
  Check(loaded.LoadTrueTracksFromStream(input.Get()));
  Check(std::clamp(report.targets, 0, MAX_TRACKS) == loaded.m_count);
  int enabled = 0;
  loaded.ForEachEnabledTrack([&enabled](int, const CTrack&) { ++enabled; });
  Check(report.disabledTargets == loaded.m_count - enabled);
  if (report.lastFrame)
    Check(*report.lastFrame >= report.firstFrame && *report.lastFrame < MAX_TRACK_FRAMES);
  return 0;
}
