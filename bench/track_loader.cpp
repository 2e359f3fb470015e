// Loading a full track file: MAX_TRACKS targets over all MAX_TRACK_FRAMES
// frames, as a long recorded series would give.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "tracks/TrackSet.h"

namespace {

// A folder of its own under /tmp holding the track file, removed at the end.
class TrackFileFolder {
 public:
  TrackFileFolder() {
    std::string pattern = "/tmp/korvane-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("track_loader: cannot create a folder under /tmp");
      std::abort();
    }
    m_folder = pattern;
    std::ofstream out(FilePath());
    out << MAX_TRACKS << ' ' << 0 << '\n';
    for (int frame = 0; frame < MAX_TRACK_FRAMES; ++frame) {
      for (int i = 0; i < MAX_TRACKS; ++i) {
        // Every target moves; each is absent for a stretch in the middle.
        const bool absent = frame >= 200 + i && frame < 210 + i;
        const int x = absent ? 0 : (i * 6 + frame) % 320;
        const int y = absent ? 0 : (i * 4 + frame / 2) % 240 + 1;
        out << x << ' ' << y << '\n';
      }
    }
  }
  ~TrackFileFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
  }
  TrackFileFolder(const TrackFileFolder&) = delete;
  TrackFileFolder& operator=(const TrackFileFolder&) = delete;

  std::string FilePath() const { return (m_folder / "truetracks.txt").string(); }

 private:
  std::filesystem::path m_folder;
};

void BM_LoadFullTrackFile(benchmark::State& state) {
  const TrackFileFolder folder;
  const std::string path = folder.FilePath();
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
