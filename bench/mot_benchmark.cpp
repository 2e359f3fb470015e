// A whole benchmark scored by korvane-cli benchmark, as a researcher runs
// it: a synthetic benchmark of MOT17-train's size (7 sequences of its
// lengths, 5,316 frames, about 112,000 scored truth boxes and as many
// tracker boxes, 30 % of those disturbed) in the MOTChallenge layout, scored
// with CLEAR, identity and HOTA. The whole process is measured: its wall
// time (fastest of five runs) and its peak memory (largest resident set).

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "tests/support/SyntheticMot.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

struct SequenceSize {
  const char* name;
  int frames;
  int truthBoxes;  // pedestrian boxes scored, as in MOT17's training sequence
};

constexpr SequenceSize kSequences[] = {
    {"MOT17-02", 600, 18581}, {"MOT17-04", 1050, 47557}, {"MOT17-05", 837, 6917},
    {"MOT17-09", 525, 5325},  {"MOT17-10", 654, 12839},  {"MOT17-11", 900, 9436},
    {"MOT17-13", 750, 11642},
};

void Write(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Writes the benchmark; returns the scored truth boxes written.
long long WriteBenchmark(const fs::path& gtRoot, const fs::path& trackerDir) {
  fs::create_directories(trackerDir);
  long long boxes = 0;
  unsigned seed = 17;
  for (const SequenceSize& s : kSequences) {
    synthetic_mot::SceneShape shape;
    shape.frames = s.frames;
    shape.shortest = s.frames / 4;
    shape.longest = s.frames;
    // A pedestrian stays 5/8 of the sequence on average.
    shape.people = static_cast<int>(s.truthBoxes / (0.625 * s.frames) + 0.5);
    shape.noisy = 0.3;
    shape.seed = seed++;
    const synthetic_mot::Scene scene = synthetic_mot::MakeScene(shape);
    const fs::path folder = gtRoot / s.name;
    fs::create_directories(folder / "gt");
    Write(folder / "seqinfo.ini",
          "[Sequence]\nname=" + std::string(s.name) + "\nimDir=img1\nframeRate=30\nseqLength=" +
              std::to_string(s.frames) + "\nimWidth=1920\nimHeight=1080\nimExt=.jpg\n");
    Write(folder / "gt" / "gt.txt", synthetic_mot::MotText(scene.truth, true));
    Write(trackerDir / (std::string(s.name) + ".txt"),
          synthetic_mot::MotText(scene.hypotheses, false));
    boxes += static_cast<long long>(
        std::count_if(scene.truth.begin(), scene.truth.end(),
                      [](const synthetic_mot::Box& b) { return b.classId == 1 && b.conf != 0.0; }));
  }
  return boxes;
}

struct ProcessRun {
  bool ok = false;
  long peakKiB = 0;
};

// Runs korvane-cli with args, its output to `output`; waits for it.
ProcessRun RunCli(const std::vector<std::string>& args, const std::string& output) {
  std::vector<std::string> all{KORVANE_CLI_PATH};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all)
    argv.push_back(a.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ProcessRun run;
  if (spawned != 0)
    return run;
  int status = 0;
  rusage usage{};
  if (::wait4(pid, &status, 0, &usage) != pid)
    return run;
  run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  run.peakKiB = usage.ru_maxrss;
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  const base::TempFolder folder("korvane-bench-mot", base::TempFolder::Need::Required);
  const fs::path gtRoot = folder.Path() / "MOT17-train";
  const fs::path trackerDir = folder.Path() / "tracker";
  const long long truthBoxes = WriteBenchmark(gtRoot, trackerDir);
  const std::string output = folder.File("result.csv");
  const std::vector<std::string> args{"benchmark", gtRoot.string(), trackerDir.string(), "--csv"};

  long peakKiB = 0;
  bool allOk = true;
  bench::Register("benchmark/mot17_train_sized", [&](benchmark::State& state) {
    for (auto _ : state) {
      const ProcessRun run = RunCli(args, output);
      allOk = allOk && run.ok;
      peakKiB = std::max(peakKiB, run.peakKiB);
    }
    state.counters["truth_boxes"] = static_cast<double>(truthBoxes);
    if (!allOk)
      state.SkipWithError("korvane-cli benchmark did not succeed");
  });

  bench::FastestRunReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::ifstream result(output);
  const std::string text((std::istreambuf_iterator<char>(result)),
                         std::istreambuf_iterator<char>());
  const bool combined = text.find("\nCOMBINED,") != std::string::npos;
  std::printf("(%lld truth boxes scored; COMBINED row %s)\n", truthBoxes,
              combined ? "written" : "MISSING");
  // Budgets rather than peers: seconds of the whole process (the benchmark
  // reports microseconds) and its peak resident memory in MiB.
  if (allOk && combined) {
    std::printf("benchmark MOT17-train-sized, seconds ratio: %.3f (target <= 1)\n",
                reporter.Fastest("benchmark/mot17_train_sized") / 1e6);
    std::printf("benchmark MOT17-train-sized, peak MiB ratio: %.1f (target <= 200)\n",
                static_cast<double>(peakKiB) / 1024.0);
  } else {
    std::printf("benchmark MOT17-train-sized, seconds ratio: skipped (target <= 1)\n");
    std::printf("benchmark MOT17-train-sized, peak MiB ratio: skipped (target <= 200)\n");
  }
  benchmark::Shutdown();
  return allOk && combined ? 0 : 1;
}
