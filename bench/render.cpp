// korvane-cli render of 500 frames, every frame with 50 full trails and 50
// markers, against the plainest way to put the same 500 input files into the
// output folder: open, read, create, write and close each in turn, as a copy
// does. Both write into an empty folder each time (emptied outside the timed
// part), as a first render or copy into a new folder would. The target is
// render at most 1.5 times the copy; the program prints the ratio from the
// fastest repetition of each.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "image/BmpFile.h"
#include "tools/Cli.h"
#include "tools/CliFiles.h"
#include "tracks/TrackSet.h"

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr std::size_t kFileBytes = BMP_PIXEL_OFFSET + kWidth * kHeight * 3;
constexpr int kFrames = 500;

// 50 targets present in all 500 frames, every position inside the picture:
// every frame paints 50 trails of 499 squares and 50 markers.
void WriteTrackFile(const std::string& path) {
  std::ofstream file(path);
  file << MAX_TRACKS << " 1\n";
  for (int j = 1; j < MAX_TRACK_FRAMES; ++j) {
    for (int i = 0; i < MAX_TRACKS; ++i)
      file << 5 + (i * 6 + j) % 300 << ' ' << 20 + (i * 4 + j) % 215
           << (i + 1 < MAX_TRACKS ? ' ' : '\n');
  }
}

// Makes folder anew, empty, with the benchmark's clock stopped.
void Empty(benchmark::State& state, const std::string& folder) {
  state.PauseTiming();
  std::filesystem::remove_all(folder);
  std::filesystem::create_directory(folder);
  state.ResumeTiming();
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;

  const base::TempFolder folder("korvane-bench_render", base::TempFolder::Need::Required);
  const std::string root = folder.File("take");
  std::vector<unsigned char> pixels(kWidth * kHeight * 3);
  for (int frame = 0; frame < kFrames; ++frame) {
    bench::FillTestPattern(pixels);
    pixels[0] = static_cast<unsigned char>(frame);
    WriteBmpFile(cli::FrameFileName(root, frame).c_str(), pixels, kWidth, kHeight);
  }
  const std::string tracks = folder.File("tracks.txt");
  WriteTrackFile(tracks);
  const std::string renderedFolder = folder.File("rendered");
  const std::string copiedFolder = folder.File("copied");
  const std::string rendered = renderedFolder + "/take";
  const std::string copied = copiedFolder + "/take";

  bench::Register("render/command", [&](benchmark::State& state) {
    const std::vector<std::string> args = {root,       "0",        std::to_string(kFrames - 1),
                                           rendered,   "--tracks", tracks,
                                           "--trails", "--markers"};
    for (auto _ : state) {
      Empty(state, renderedFolder);
      std::ostringstream out, err;
      if (RunRenderCommand(args, out, err) != 0)
        state.SkipWithError(err.str().c_str());
    }
  });
  bench::Register("render/copy", [&](benchmark::State& state) {
    std::vector<unsigned char> bytes(kFileBytes);
    for (auto _ : state) {
      Empty(state, copiedFolder);
      for (int frame = 0; frame < kFrames; ++frame) {
        if (!bench::PlainRead(cli::FrameFileName(root, frame).c_str(), {bytes}) ||
            !bench::PlainWrite(cli::FrameFileName(copied, frame).c_str(), bytes))
          state.SkipWithError("the copy failed");
      }
    }
  });

  bench::FastestRunReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("render ratio: %.3f (target <= 1.5)\n",
              reporter.Ratio("render/command", "render/copy"));
  benchmark::Shutdown();
  return 0;
}
