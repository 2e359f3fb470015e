// korvane-cli review of 150 frames of 1920 x 1080 JPEG with 30 boxes a frame
// to H.264 MP4, against ffmpeg decoding the same pictures and encoding them
// with the same encoder settings and no drawing: the encoder is the floor,
// so the ratio (ffmpeg's time over ours) must be at least 0.9. With
// --errors-only on a sequence whose error spans fill a tenth of its frames,
// review must reach at least 5 times ffmpeg's throughput on the whole
// sequence, since frames left out are neither decoded nor encoded. Ours and
// ffmpeg's take turns, two runs each, so a slow spell of the machine falls
// on both; the least time of each counts. Without ffmpeg on the PATH both
// ratios are reported as skipped.

#include <sys/resource.h>

#include <QColor>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "tools/Cli.h"

namespace {

constexpr int kFrames = 150;
constexpr int kTargets = 30;
// Five frames a second, so that the context of a second either side of an
// error is five frames.
constexpr int kRate = 5;
// The tracker goes wrong for five frames in the middle; with a second of
// context either side a review keeps 15 frames, a tenth of 150.
constexpr int kErrorFrames = 5;

// Where person t stands at frame f (from 1): 30 people walking across the
// picture at their own speeds, each 60 x 150 pixels.
QRect PersonAt(int t, int f) {
  const int left = (t * 157 + f * (1 + t % 3)) % 1800;
  const int top = 40 + (t * 89) % 880;
  return {left, top, 60, 150};
}

// Frames 000001.jpg and on of a street seen by a camera that pans slowly:
// a textured background moving a pixel a frame, and the 30 people on it.
// Each frame follows from the one before, as camera frames do, so the
// encoder works on it as on a real sequence.
void WriteStreet(const std::filesystem::path& folder, int frames) {
  QImage background(1920 + frames, 1080, QImage::Format_RGB888);
  for (int y = 0; y < background.height(); ++y) {
    uchar* row = background.scanLine(y);
    for (int x = 0; x < background.width(); ++x) {
      row[x * 3] = static_cast<uchar>(60 + (x / 7 + y / 11) % 90 + ((x * 13) ^ (y * 7)) % 23);
      row[x * 3 + 1] = static_cast<uchar>(70 + y / 9 % 80 + (x * y) % 17);
      row[x * 3 + 2] = static_cast<uchar>(50 + (x / 5) % 110);
    }
  }
  for (int f = 1; f <= frames; ++f) {
    QImage frame = background.copy(f - 1, 0, 1920, 1080);
    QPainter painter(&frame);
    for (int t = 0; t < kTargets; ++t)
      painter.fillRect(PersonAt(t, f), QColor(40 + t * 6, 90 + t * 3, 160 - t * 4));
    painter.end();
    char name[32];
    std::snprintf(name, sizeof name, "%06d.jpg", f);
    frame.save(QString::fromStdString((folder / name).string()), "JPEG", 90);
  }
}

// The people as truth, and a tracker that follows them within a pixel or
// two but for kErrorFrames frames in the middle, where it loses three of them and
// sees two people who are not there.
void WriteRows(const std::string& truthPath, const std::string& hypothesisPath, int frames) {
  std::ofstream truth(truthPath);
  std::ofstream hypotheses(hypothesisPath);
  const int errorsFrom = frames / 2;
  for (int f = 1; f <= frames; ++f) {
    const bool wrong = f >= errorsFrom && f < errorsFrom + kErrorFrames;
    for (int t = 0; t < kTargets; ++t) {
      const QRect box = PersonAt(t, f);
      truth << f << ',' << t + 1 << ',' << box.left() << ',' << box.top() << ",60,150,1,1,1\n";
      if (wrong && t < 3)
        continue;
      hypotheses << f << ',' << 100 + t << ',' << box.left() + (f + t) % 3 - 1 << ',' << box.top()
                 << ",60,150,1,-1,-1,-1\n";
    }
    if (wrong)
      hypotheses << f << ",900,500,500,60,150,1,-1,-1,-1\n"
                 << f << ",901,1500,200,60,150,1,-1,-1,-1\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;

  const base::TempFolder folder("korvane-bench_review", base::TempFolder::Need::Required);
  const std::filesystem::path source = folder.Path() / "seq" / "img1";
  std::filesystem::create_directories(source);
  WriteStreet(source, kFrames);
  std::ofstream(folder.Path() / "seq" / "seqinfo.ini")
      << "[Sequence]\nname=seq\nframeRate=" << kRate << "\nseqLength=" << kFrames << '\n';
  const std::string truth = folder.File("gt.txt");
  const std::string hypotheses = folder.File("hyp.txt");
  WriteRows(truth, hypotheses, kFrames);
  const bool haveFfmpeg = bench::OnPath("ffmpeg");

  // Boxes matched by IoU under the protocol, as review does by default.
  const std::vector<std::string> whole{"review",   source.string(), truth,
                                       hypotheses, "--video",       folder.File("ours.mp4")};
  const std::vector<std::string> errorsOnly{
      "review",  source.string(),           truth,          hypotheses,
      "--video", folder.File("errors.mp4"), "--errors-only"};
  // The writer's settings: x264 at quality 18, preset medium, a key frame
  // every two seconds, yuv420p marked BT.601 limited range, the index at the
  // front.
  const std::string command =
      "ffmpeg -loglevel error -y -framerate " + std::to_string(kRate) + " -start_number 1 -i '" +
      (source / "%06d.jpg").string() + "' -c:v libx264 -preset medium -crf 18 -g " +
      std::to_string(2 * kRate) +
      " -pix_fmt yuv420p -colorspace smpte170m -color_range tv -movflags +faststart '" +
      folder.File("theirs.mp4") + "'";
  bench::Times ours;
  bench::Times oursErrorsOnly;
  bench::Times theirs;
  // Why a review run failed, or nothing.
  const auto runOurs = [](const std::vector<std::string>& args,
                          bench::Times& times) -> std::optional<std::string> {
    std::ostringstream out;
    std::ostringstream err;
    if (bench::Timed(RUSAGE_SELF, times, [&] { return RunCli(args, out, err) == 0; }))
      return std::nullopt;
    return err.str();
  };
  if (haveFfmpeg) {
    bench::RegisterOnce("review/korvane and ffmpeg, in turns", [&](benchmark::State& state) {
      bench::TakeTurns(state, {}, [&](bool oursTurn) -> std::optional<std::string> {
        if (oursTurn)
          return runOurs(whole, ours);
        if (bench::Timed(RUSAGE_CHILDREN, theirs,
                         [&] { return std::system(command.c_str()) == 0; }))
          return std::nullopt;
        return "ffmpeg failed";
      });
    })->Iterations(2);
  }
  bench::RegisterOnce("review/korvane errors only", [&](benchmark::State& state) {
    for (auto _ : state) {
      if (const auto problem = runOurs(errorsOnly, oursErrorsOnly)) {
        state.SkipWithError(problem->c_str());
        return;
      }
    }
  })->Iterations(3);

  bench::FastestRunReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("review of %d frames of 1920 x 1080, %d boxes a frame\n", kFrames, kTargets);
  if (haveFfmpeg && std::isfinite(ours.wall) && std::isfinite(theirs.wall) &&
      std::isfinite(oursErrorsOnly.wall)) {
    std::printf(
        "the least of each: ours %.2f s (user %.2f s, system %.2f s), errors only %.2f s, "
        "ffmpeg's %.2f s (user %.2f s, system %.2f s)\n",
        ours.wall, ours.user, ours.system, oursErrorsOnly.wall, theirs.wall, theirs.user,
        theirs.system);
    std::printf("review speed ratio: %.3f (target >= 0.9)\n", theirs.wall / ours.wall);
    std::printf("review errors-only speed ratio: %.3f (target >= 5)\n",
                theirs.wall / oursErrorsOnly.wall);
  } else {
    std::printf(
        "no ffmpeg on the PATH: nothing to compare with\n"
        "review speed ratio: skipped (target >= 0.9)\n"
        "review errors-only speed ratio: skipped (target >= 5)\n");
  }
  benchmark::Shutdown();
  return 0;
}
