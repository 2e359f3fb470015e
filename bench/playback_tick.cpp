// One playback tick against the plainest way to get the same file into memory.
// The tick runs as it does in the program: the player is shown (headless), both
// boxes are ticked and the track set holds 50 tracks whose trails have 500
// positions each, so a tick opens the frame file, reads it in three reads,
// closes it, paints 50 trails and 50 markers and draws the frame into the
// picture control. The bare reference opens the same file, reads its header
// and pixels and closes it. The target is a tick at most 2 times the bare read;
// the parts of the tick are measured on their own too, to show where the time
// goes. The program prints the ratio from the fastest repetition of each.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <span>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "image/BmpFile.h"
#include "image/FrameDisplay.h"
#include "player/FileRead.h"
#include "player/TrackOverlays.h"
#include "res/ResourceIds.h"
#include "tracks/TrackGlobals.h"
#include "ui/core/Trace.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr std::size_t kFrameBytes = kWidth * kHeight * 3;
constexpr int kFrame = 24;

// A fresh folder under /tmp for the frame file, removed at the end of the run.
class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern = "/tmp/korvane-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("bench_playback_tick: cannot create a folder under /tmp");
      std::exit(1);
    }
    m_path = pattern;
  }
  ~BenchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  BenchFolder(const BenchFolder&) = delete;
  BenchFolder& operator=(const BenchFolder&) = delete;

  std::string File(const char* name) const { return (m_path / name).string(); }

 private:
  std::filesystem::path m_path;
};

// The bare reference: one open, the 54 header bytes, the pixel block, close.
void PlainRead(const char* fileName, std::span<unsigned char> header,
               std::span<unsigned char> pixels) {
  const int fd = ::open(fileName, O_RDONLY | O_CLOEXEC);
  if (fd < 0)
    return;
  for (const std::span<unsigned char> part : {header, pixels}) {
    std::size_t done = 0;
    while (done < part.size()) {
      const ssize_t got = ::read(fd, part.data() + done, part.size() - done);
      if (got <= 0)
        break;
      done += static_cast<std::size_t>(got);
    }
  }
  ::close(fd);
}

// 50 tracks in use, each with a trail over all 500 frames, every position
// inside the picture and none of them (0, 0).
void FillTracks() {
  g_trueTracks.m_count = MAX_TRACKS;
  for (int i = 0; i < MAX_TRACKS; ++i) {
    CTrack& track = g_trueTracks.m_tracks[i];
    track.m_enabled = 1;
    track.m_firstFrame = 0;
    track.m_endFrame = MAX_TRACK_FRAMES;
    for (int j = 0; j < MAX_TRACK_FRAMES; ++j)
      track.SetPoint(5 + (i * 6 + j) % 300, 20 + (i * 4 + j) % 215, j);
  }
}

// Shows the usual console table and keeps each benchmark's fastest
// repetition, the figure least disturbed by other work on the machine.
class FastestRunReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred)
        continue;
      const auto [entry, added] =
          m_fastest.try_emplace(run.run_name.function_name, run.GetAdjustedRealTime());
      if (!added && run.GetAdjustedRealTime() < entry->second)
        entry->second = run.GetAdjustedRealTime();
    }
  }

  // Time of `ours` over time of `plain`, or NaN when either did not run.
  double Ratio(const std::string& ours, const std::string& plain) const {
    const auto o = m_fastest.find(ours);
    const auto p = m_fastest.find(plain);
    if (o == m_fastest.end() || p == m_fastest.end() || p->second <= 0)
      return std::numeric_limits<double>::quiet_NaN();
    return o->second / p->second;
  }

 private:
  std::map<std::string, double> m_fastest;
};

void Register(const char* name, std::function<void(benchmark::State&)> body) {
  benchmark::RegisterBenchmark(name, std::move(body))
      ->UseRealTime()
      ->Repetitions(5)
      ->Unit(benchmark::kMicrosecond);
}

void RegisterAll(const std::string& fileName) {
  Register("tick/OnPlayTimer", [](benchmark::State& state) {
    CFileRead& player = g_fileReadDlg;
    for (auto _ : state) {
      player.m_curFrame = kFrame;
      player.OnPlayTimer(res::IDT_TIMER_0);
    }
    if (player.m_curFrame != kFrame + 1)
      state.SkipWithError("the tick did not show the frame");
  });
  Register("tick/plain_read", [fileName](benchmark::State& state) {
    std::vector<unsigned char> header(BMP_PIXEL_OFFSET);
    std::vector<unsigned char> pixels(kFrameBytes);
    for (auto _ : state) {
      PlainRead(fileName.c_str(), header, pixels);
      benchmark::DoNotOptimize(pixels.data());
    }
  });
  // The parts of the tick on their own.
  Register("part/overlays", [](benchmark::State& state) {
    std::vector<std::uint8_t> frame(kFrameBytes);
    for (auto _ : state) {
      DrawTrails(frame, kWidth, g_trueTracks);
      DrawMarkers(frame, kWidth, kFrame, g_trueTracks);
      benchmark::DoNotOptimize(frame.data());
    }
  });
  Register("part/ShowFrame", [](benchmark::State& state) {
    const std::vector<std::uint8_t> frame(kFrameBytes, 0x40);
    for (auto _ : state)
      ShowFrame(frame.data(), kWidth, kHeight);
  });
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;

  const BenchFolder folder;
  const std::string root = folder.File("take");
  char name[64];
  std::snprintf(name, sizeof name, "_%04d.bmp", kFrame);
  const std::string fileName = root + name;
  std::vector<unsigned char> pixels(kFrameBytes);
  for (std::size_t i = 0; i < pixels.size(); ++i)
    pixels[i] = static_cast<unsigned char>(i * 7 + i / 960);
  WriteBmpFile(fileName.c_str(), pixels, kWidth, kHeight);

  // Each tick writes a trace line; the benchmark keeps its cost but not the text.
  const ui::ScopedTraceSink quiet([](std::string_view) {});
  ui::headless::HeadlessBackend user;
  CFileRead& player = g_fileReadDlg;
  player.m_rootPath = root;
  player.m_startFrame = kFrame;
  player.m_lastFrame = INT_MAX - 1;  // the tick never reaches the end

  FastestRunReporter reporter;
  user.Click(res::IDC_READ)
      .Then([&] {
        // Ticked after READ, so no track file is looked for; the set is ours.
        player.CheckDlgButton(res::IDC_SHOW_TRACK, ui::BST_CHECKED);
        player.CheckDlgButton(res::IDC_USE_TRUETRACKS, ui::BST_CHECKED);
        FillTracks();
        RegisterAll(fileName);
        benchmark::RunSpecifiedBenchmarks(&reporter);
      })
      .Key(ui::DialogKey::Escape);
  player.RunModal();

  std::printf("tick ratio: %.3f (target <= 2)\n",
              reporter.Ratio("tick/OnPlayTimer", "tick/plain_read"));
  std::printf("overlays alone: %.3f, ShowFrame alone: %.3f (of the plain read)\n",
              reporter.Ratio("part/overlays", "tick/plain_read"),
              reporter.Ratio("part/ShowFrame", "tick/plain_read"));
  benchmark::Shutdown();
  return 0;
}
