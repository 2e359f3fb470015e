// Importing 1,000 frames of 1920 x 1080 JPEG into a 320 x 240 series, against
// ffmpeg doing the same fit-and-pad into BMP files in the same run. The
// ratio is ffmpeg's time over ours (frames per second, ours over ffmpeg's);
// the target is at least 1.5. Without ffmpeg on the PATH the ratio is
// reported as skipped.

#include <unistd.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "tools/Cli.h"

namespace {

constexpr int kFrames = 1000;
// Distinct pictures; the series repeats them, which costs the decoders the
// same as fresh ones.
constexpr int kPictures = 10;

// A street-like picture: gradients, and boxes that move from one picture
// to the next.
void WriteSeries(const std::filesystem::path& folder) {
  std::vector<std::string> pictures;
  for (int p = 0; p < kPictures; ++p) {
    QImage image(1920, 1080, QImage::Format_RGB888);
    for (int y = 0; y < 1080; ++y) {
      uchar* row = image.scanLine(y);
      for (int x = 0; x < 1920; ++x) {
        row[x * 3] = static_cast<uchar>(x / 8 + p * 9);
        row[x * 3 + 1] = static_cast<uchar>(y / 5);
        row[x * 3 + 2] = static_cast<uchar>((x ^ y) & 0x3F);
      }
    }
    QPainter painter(&image);
    for (int b = 0; b < 40; ++b)
      painter.fillRect((b * 211 + p * 17) % 1800, (b * 97) % 1000, 60, 120,
                       QColor((b * 40) % 256, 200, (b * 90) % 256));
    painter.end();
    pictures.push_back((folder / ("picture" + std::to_string(p) + ".jpg")).string());
    image.save(QString::fromStdString(pictures.back()), "JPEG", 90);
  }
  for (int f = 1; f <= kFrames; ++f) {
    char name[32];
    std::snprintf(name, sizeof name, "%06d.jpg", f);
    std::filesystem::copy_file(pictures[static_cast<std::size_t>(f % kPictures)], folder / name);
  }
  for (const std::string& picture : pictures)
    std::filesystem::remove(picture);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;

  const base::TempFolder folder("korvane-bench_import", base::TempFolder::Need::Required);
  const std::filesystem::path source = folder.Path() / "img1";
  std::filesystem::create_directories(source);
  WriteSeries(source);
  const std::string pattern = (source / "%06d.jpg").string();
  const bool haveFfmpeg = bench::OnPath("ffmpeg");

  bench::RegisterOnce("import/korvane", [&](benchmark::State& state) {
    for (auto _ : state) {
      state.PauseTiming();
      std::filesystem::remove_all(folder.Path() / "ours");
      state.ResumeTiming();
      std::ostringstream out;
      std::ostringstream err;
      const std::vector<std::string> args{"import", pattern, folder.File("ours/take")};
      if (RunCli(args, out, err) != 0)
        state.SkipWithError(err.str().c_str());
    }
  });
  if (haveFfmpeg) {
    bench::RegisterOnce("import/ffmpeg", [&](benchmark::State& state) {
      const std::string command =
          "ffmpeg -loglevel error -y -start_number 1 -i '" + pattern +
          "' -vf 'scale=320:240:force_original_aspect_ratio=decrease,pad=320:240:(ow-iw)/2:"
          "(oh-ih)/2' -pix_fmt bgr24 '" +
          folder.File("theirs/out_%04d.bmp") + "'";
      for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(folder.Path() / "theirs");
        std::filesystem::create_directories(folder.Path() / "theirs");
        state.ResumeTiming();
        if (std::system(command.c_str()) != 0)
          state.SkipWithError("ffmpeg failed");
      }
    });
  }

  bench::FastestRunReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  if (haveFfmpeg)
    std::printf("import speed ratio: %.3f (target >= 1.5)\n",
                reporter.Ratio("import/ffmpeg", "import/korvane"));
  else
    std::printf(
        "no ffmpeg on the PATH: nothing to compare with\n"
        "import speed ratio: skipped (target >= 1.5)\n");
  benchmark::Shutdown();
  return 0;
}
