// One playback tick against the plainest way to get the same file into memory.
// The tick runs as it does in the program: the player is shown (headless), both
// boxes are ticked and the track set holds 50 tracks whose trails have 500
// positions each, so a tick opens the frame file, reads it in three reads,
// closes it, paints 50 trails and 50 markers and draws the frame into the
// picture control. The floor it is held to does the work no tick can skip:
// open the same file, read its header and pixels, close it, and paint the
// same 50 trails and 50 markers into the buffer. The target is a tick at most
// 2 times that floor: the tick also draws the frame into the picture control
// (a 1:1 copy into the window's surface, measured alone below at about three
// plain reads) and goes through the timer's dispatch and the "Last frame" box. The bare read
// alone and the parts of the tick are measured too, to show where the time
// goes. The program prints the ratios from the fastest repetition of each.

#include <climits>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "base/Trace.h"
#include "bench/BenchSupport.h"
#include "image/BmpFile.h"
#include "image/FrameDisplay.h"
#include "player/FileRead.h"
#include "player/TrackOverlays.h"
#include "res/ResourceIds.h"
#include "tracks/TrackGlobals.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr std::size_t kFrameBytes = kWidth * kHeight * 3;
constexpr int kFrame = 24;

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

void RegisterAll(const std::string& fileName) {
  bench::Register("tick/OnPlayTimer", [](benchmark::State& state) {
    CFileRead& player = g_fileReadDlg;
    for (auto _ : state) {
      player.m_curFrame = kFrame;
      player.OnPlayTimer(res::IDT_TIMER_0);
    }
    if (player.m_curFrame != kFrame + 1)
      state.SkipWithError("the tick did not show the frame");
  });
  bench::Register("tick/plain_read", [fileName](benchmark::State& state) {
    std::vector<unsigned char> header(BMP_PIXEL_OFFSET);
    std::vector<unsigned char> pixels(kFrameBytes);
    for (auto _ : state) {
      bench::PlainRead(fileName.c_str(), {header, pixels});
      benchmark::DoNotOptimize(pixels.data());
    }
  });
  bench::Register("tick/read_and_paint", [fileName](benchmark::State& state) {
    std::vector<unsigned char> header(BMP_PIXEL_OFFSET);
    std::vector<unsigned char> pixels(kFrameBytes);
    for (auto _ : state) {
      bench::PlainRead(fileName.c_str(), {header, pixels});
      DrawTrails(pixels, kWidth, g_trueTracks);
      DrawMarkers(pixels, kWidth, kFrame, g_trueTracks);
      benchmark::DoNotOptimize(pixels.data());
    }
  });
  // The parts of the tick on their own.
  bench::Register("part/overlays", [](benchmark::State& state) {
    std::vector<std::uint8_t> frame(kFrameBytes);
    for (auto _ : state) {
      DrawTrails(frame, kWidth, g_trueTracks);
      DrawMarkers(frame, kWidth, kFrame, g_trueTracks);
      benchmark::DoNotOptimize(frame.data());
    }
  });
  bench::Register("part/ShowFrame", [](benchmark::State& state) {
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

  const base::TempFolder folder("korvane-bench_playback_tick", base::TempFolder::Need::Required);
  const std::string root = folder.File("take");
  char name[64];
  std::snprintf(name, sizeof name, "_%04d.bmp", kFrame);
  const std::string fileName = root + name;
  std::vector<unsigned char> pixels(kFrameBytes);
  bench::FillTestPattern(pixels);
  WriteBmpFile(fileName.c_str(), pixels, kWidth, kHeight);

  // Each tick writes a trace line; the benchmark keeps its cost but not the text.
  const base::ScopedTraceSink quiet([](std::string_view) {});
  ui::headless::HeadlessBackend user;
  CFileRead& player = g_fileReadDlg;
  player.m_rootPath = root;
  player.m_startFrame = kFrame;
  player.m_lastFrame = INT_MAX - 1;  // the tick never reaches the end

  bench::FastestRunReporter reporter;
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

  std::printf("tick over read and paint ratio: %.3f (target <= 2)\n",
              reporter.Ratio("tick/OnPlayTimer", "tick/read_and_paint"));
  std::printf("tick alone: %.3f, overlays alone: %.3f, ShowFrame alone: %.3f (of the plain read)\n",
              reporter.Ratio("tick/OnPlayTimer", "tick/plain_read"),
              reporter.Ratio("part/overlays", "tick/plain_read"),
              reporter.Ratio("part/ShowFrame", "tick/plain_read"));
  benchmark::Shutdown();
  return 0;
}
