// Frame files against the plainest possible file code: reading and writing a
// 320 x 240 frame file through WriteBmpFile and ReadBmpFile should cost at most
// 1.3 times what a bare open/read/close or open/write/close of the same
// 230,454 bytes costs. A reader of this layout learns the pixel count from
// the headers, so the bare read takes the 54 header bytes and then the
// pixels, as ReadBmpFile does; ReadBmpFile also asks the system whether the
// file is a regular one, which no frame reader here may skip. The program runs all four benchmarks,
// then prints both ratios from the fastest repetition of each.

#include <cstdio>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "image/BmpFile.h"

namespace {

constexpr int FRAME_WIDTH = 320;
constexpr int FRAME_HEIGHT = 240;
constexpr std::size_t FRAME_BYTES = FRAME_WIDTH * FRAME_HEIGHT * 3;
constexpr std::size_t FILE_BYTES = BMP_PIXEL_OFFSET + FRAME_BYTES;

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }

  const base::TempFolder folder("korvane-bench_bmp_file", base::TempFolder::Need::Required);
  const std::string source = folder.File("take9_0024.bmp");
  const std::string ours = folder.File("ours.bmp");
  const std::string plain = folder.File("plain.bmp");

  std::vector<unsigned char> frame(FRAME_BYTES);
  bench::FillTestPattern(frame);
  WriteBmpFile(source.c_str(), frame, FRAME_WIDTH, FRAME_HEIGHT);

  // The same 230,454 bytes that WriteBmpFile produces, for the bare writer.
  std::vector<unsigned char> fileBytes(FILE_BYTES);
  bench::PlainRead(source.c_str(), {fileBytes});

  bench::Register("read/ReadBmpFile", [&](benchmark::State& state) {
    std::vector<unsigned char> buffer(FRAME_BYTES);
    int width = 0;
    int height = 0;
    for (auto _ : state) {
      ReadBmpFile(source.c_str(), buffer, width, height);
      benchmark::DoNotOptimize(buffer.data());
    }
    if (width != FRAME_WIDTH || height != FRAME_HEIGHT) {
      state.SkipWithError("the frame file did not read back");
    }
  });
  bench::Register("read/plain", [&](benchmark::State& state) {
    std::vector<unsigned char> header(BMP_PIXEL_OFFSET);
    std::vector<unsigned char> buffer(FRAME_BYTES);
    for (auto _ : state) {
      bench::PlainRead(source.c_str(), {header, buffer});
      benchmark::DoNotOptimize(buffer.data());
    }
  });
  bench::Register("write/WriteBmpFile", [&](benchmark::State& state) {
    for (auto _ : state) {
      WriteBmpFile(ours.c_str(), frame, FRAME_WIDTH, FRAME_HEIGHT);
    }
  });
  bench::Register("write/plain", [&](benchmark::State& state) {
    for (auto _ : state) {
      bench::PlainWrite(plain.c_str(), fileBytes);
    }
  });

  bench::FastestRunReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("read ratio: %.3f (target <= 1.3)\n",
              reporter.Ratio("read/ReadBmpFile", "read/plain"));
  std::printf("write ratio: %.3f (target <= 1.3)\n",
              reporter.Ratio("write/WriteBmpFile", "write/plain"));
  benchmark::Shutdown();
  return 0;
}
