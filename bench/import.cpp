// Importing 1,000 frames of 1920 x 1080 JPEG into a 320 x 240 series, against
// ffmpeg doing the same fit-and-pad into BMP files in the same run. The
// ratio is ffmpeg's time over ours (frames per second, ours over ffmpeg's);
// the target is at least 1.5.
//
// Then importing a 600-frame 1920 x 1080 H.264 video of the same pictures
// (ffmpeg encodes it once), against ffmpeg's own decode, scale and BMP write
// of it: ffmpeg's time over ours, at least 1; and the system time, ours over
// ffmpeg's, at most 2 (time the kernel spends for the run: page faults of
// buffers made afresh for every frame, threads woken and put to sleep). The
// fastest of three runs counts for the time, the least system time of them
// for the system time. Without ffmpeg on the PATH the ratios are reported as
// skipped.

#include <sys/resource.h>
#include <unistd.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "tools/Cli.h"

namespace {

constexpr int kFrames = 1000;
constexpr int kVideoFrames = 600;
// Distinct pictures; the series repeats them, which costs the decoders the
// same as fresh ones.
constexpr int kPictures = 10;

bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0)
      return true;
  }
  return false;
}

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

// System seconds of this process, or of its waited-for children.
double SystemSeconds(int who) {
  rusage usage{};
  ::getrusage(who, &usage);
  return static_cast<double>(usage.ru_stime.tv_sec) + usage.ru_stime.tv_usec / 1e6;
}

// Times `run` as a benchmark and keeps the least system time any of its runs
// took (of this process for ours, of the child for ffmpeg's).
void RegisterTimed(const char* name, int who, double& leastSystem,
                   const std::function<void()>& prepare,
                   const std::function<bool(std::string&)>& run) {
  bench::RegisterOnce(name, [=, &leastSystem](benchmark::State& state) {
    for (auto _ : state) {
      state.PauseTiming();
      prepare();
      const double before = SystemSeconds(who);
      state.ResumeTiming();
      std::string why;
      if (!run(why)) {
        state.SkipWithError(why.c_str());
        break;
      }
      state.PauseTiming();
      const double system = SystemSeconds(who) - before;
      leastSystem = std::min(leastSystem, system);
      state.counters["sys_s"] = system;
      state.ResumeTiming();
    }
  })->Repetitions(3);
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
  const bool haveFfmpeg = OnPath("ffmpeg");

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

  // The video, encoded once from the same pictures: the peer's program
  // makes it, so without ffmpeg there is neither video nor peer.
  const std::string video = folder.File("video.mp4");
  const bool haveVideo =
      haveFfmpeg &&
      std::system(("ffmpeg -loglevel error -y -start_number 1 -framerate 30 -i '" + pattern +
                   "' -frames:v " + std::to_string(kVideoFrames) +
                   " -c:v libx264 -preset veryfast -crf 20 -pix_fmt yuv420p '" + video + "'")
                      .c_str()) == 0;
  constexpr double kNone = std::numeric_limits<double>::infinity();
  double oursSystem = kNone;
  double theirsSystem = kNone;
  if (haveVideo) {
    const auto removeOutputs = [&] {
      std::filesystem::remove_all(folder.Path() / "ours-video");
      std::filesystem::remove_all(folder.Path() / "theirs-video");
      std::filesystem::create_directories(folder.Path() / "theirs-video");
    };
    RegisterTimed(
        "video-import/korvane", RUSAGE_SELF, oursSystem, removeOutputs, [&](std::string& why) {
          std::ostringstream out;
          std::ostringstream err;
          const std::vector<std::string> args{"import", video, folder.File("ours-video/take")};
          if (RunCli(args, out, err) == 0)
            return true;
          why = err.str();
          return false;
        });
    const std::string command =
        "ffmpeg -loglevel error -y -i '" + video +
        "' -vf 'scale=320:240:force_original_aspect_ratio=decrease,pad=320:240:(ow-iw)/2:"
        "(oh-ih)/2' -pix_fmt bgr24 '" +
        folder.File("theirs-video/out_%04d.bmp") + "'";
    RegisterTimed("video-import/ffmpeg", RUSAGE_CHILDREN, theirsSystem, removeOutputs,
                  [command](std::string& why) {
                    why = "ffmpeg failed";
                    return std::system(command.c_str()) == 0;
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
  if (haveVideo && oursSystem < kNone && theirsSystem < kNone) {
    std::printf("video import: system seconds, ours %.3f, ffmpeg's %.3f\n", oursSystem,
                theirsSystem);
    std::printf("video import speed ratio: %.3f (target >= 1)\n",
                reporter.Ratio("video-import/ffmpeg", "video-import/korvane"));
    // A floor of 10 ms keeps a peer that hardly calls the kernel from making
    // any ratio look large.
    std::printf("video import system time ratio: %.3f (target <= 2)\n",
                oursSystem / std::max(theirsSystem, 0.01));
  } else {
    std::printf(
        "video import speed ratio: skipped (target >= 1)\n"
        "video import system time ratio: skipped (target <= 2)\n");
  }
  benchmark::Shutdown();
  return 0;
}
