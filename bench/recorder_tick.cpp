// A record tick against the plainest way to put the same file on disk: one
// tick of the console's record timer (the capture rearranged into a frame
// buffer, then written as a frame file) should cost at most 1.5 times a bare
// open/write/close of the 230,454 bytes the tick writes. The program runs
// both once and prints the ratio.

#include <cstdio>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "console/KorvaneDlg.h"
#include "res/ResourceIds.h"

namespace {

constexpr int FRAME_WIDTH = 320;
constexpr int FRAME_HEIGHT = 240;
constexpr std::size_t FRAME_BYTES = FRAME_WIDTH * FRAME_HEIGHT * 3;

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;

  const base::TempFolder folder("korvane-bench_recorder_tick", base::TempFolder::Need::Required);
  const std::string root = folder.File("rec");
  std::snprintf(g_rootPath, sizeof g_rootPath, "%s", root.c_str());
  g_stopRecording = 0;

  // The recorder as arming leaves it, with a captured frame in place; the
  // tick itself needs no window.
  CKorvaneDlg console;
  console.m_width = FRAME_WIDTH;
  console.m_height = FRAME_HEIGHT;
  console.m_captureBuffer = std::make_unique<unsigned char[]>(FRAME_BYTES);
  console.m_outputBuffer = std::make_unique<unsigned char[]>(FRAME_BYTES);
  bench::FillTestPattern(std::span(console.m_captureBuffer.get(), FRAME_BYTES));

  // Every tick writes file 0000 again: the counter goes back before each.
  const auto tick = [&console] {
    g_recordedFrames = 0;
    console.OnRecordTimer(res::IDT_RECORD);
  };
  tick();
  // The 54 header bytes and the pixels the tick wrote, for the bare writer.
  std::vector<unsigned char> fileBytes(54 + FRAME_BYTES);
  if (!bench::PlainRead((root + "_0000.bmp").c_str(), {fileBytes}))
    fileBytes.clear();
  const std::string plain = folder.File("plain.bmp");

  bench::RegisterOnce("tick/OnRecordTimer", [&](benchmark::State& state) {
    for (auto _ : state)
      tick();
    if (g_recordedFrames != 1)
      state.SkipWithError("the tick did not record");
  });
  bench::RegisterOnce("tick/plain", [&](benchmark::State& state) {
    for (auto _ : state)
      bench::PlainWrite(plain.c_str(), fileBytes);
    if (fileBytes.empty())
      state.SkipWithError("the tick's file did not read back");
  });

  bench::FastestRunReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("tick ratio: %.3f (target <= 1.5)\n",
              reporter.Ratio("tick/OnRecordTimer", "tick/plain"));
  benchmark::Shutdown();
  return 0;
}
