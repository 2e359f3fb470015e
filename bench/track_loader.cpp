// Loading a full track file: MAX_TRACKS targets over all MAX_TRACK_FRAMES
// frames, as a long recorded series would give.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench/BenchSupport.h"
#include "tracks/TrackSet.h"

namespace {

// Writes the track file: every target moves, and each is absent for a stretch
// in the middle.
void WriteFullTrackFile(const std::string& path) {
  std::ofstream out(path);
  out << MAX_TRACKS << ' ' << 0 << '\n';
  for (int frame = 0; frame < MAX_TRACK_FRAMES; ++frame) {
    for (int i = 0; i < MAX_TRACKS; ++i) {
      const bool absent = frame >= 200 + i && frame < 210 + i;
      const int x = absent ? 0 : (i * 6 + frame) % 320;
      const int y = absent ? 0 : (i * 4 + frame / 2) % 240 + 1;
      out << x << ' ' << y << '\n';
    }
  }
}

void BM_LoadFullTrackFile(benchmark::State& state) {
  const base::TempFolder folder("korvane-bench_track_loader", base::TempFolder::Need::Required);
  const std::string path = folder.File("truetracks.txt");
  WriteFullTrackFile(path);
  CTrackSet set;
  for (auto _ : state) {
    const bool loaded = set.LoadTrueTracksFrom(path.c_str());
    benchmark::DoNotOptimize(loaded);
    benchmark::DoNotOptimize(set.m_tracks[MAX_TRACKS - 1].m_x[MAX_TRACK_FRAMES - 1]);
  }
  state.SetItemsProcessed(state.iterations() * MAX_TRACKS * MAX_TRACK_FRAMES);
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_LoadFullTrackFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
