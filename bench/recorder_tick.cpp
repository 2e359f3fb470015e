// A record tick against the plainest way to put the same file on disk: one
// tick of the console's record timer (the capture rearranged into a frame
// buffer, then written as a frame file) should cost at most 1.5 times a bare
// open/write/close of the 230,454 bytes the tick writes. The program runs
// both once and prints the ratio.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "console/KorvaneDlg.h"
#include "res/ResourceIds.h"

namespace {

constexpr int FRAME_WIDTH = 320;
constexpr int FRAME_HEIGHT = 240;
constexpr std::size_t FRAME_BYTES = FRAME_WIDTH * FRAME_HEIGHT * 3;

// A fresh folder under /tmp for the files written, removed at the end.
class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern = "/tmp/korvane-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("bench_recorder_tick: cannot create a folder under /tmp");
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

void PlainWrite(const char* fileName, const std::vector<unsigned char>& bytes) {
  const int fd = ::open(fileName, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0)
    return;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put <= 0)
      break;
    done += static_cast<std::size_t>(put);
  }
  ::close(fd);
}

std::vector<unsigned char> FileBytes(const std::string& fileName) {
  std::vector<unsigned char> bytes(54 + FRAME_BYTES);
  const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd >= 0) {
    if (::read(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
      bytes.clear();
    ::close(fd);
  }
  return bytes;
}

// Keeps each benchmark's time and shows the usual table.
class TimeReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type == Run::RT_Iteration && !run.error_occurred)
        m_times[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
  }
  double Ratio(const std::string& ours, const std::string& plain) const {
    const auto o = m_times.find(ours);
    const auto p = m_times.find(plain);
    if (o == m_times.end() || p == m_times.end() || p->second <= 0)
      return std::numeric_limits<double>::quiet_NaN();
    return o->second / p->second;
  }

 private:
  std::map<std::string, double> m_times;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;

  const BenchFolder folder;
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
  for (std::size_t i = 0; i < FRAME_BYTES; ++i)
    console.m_captureBuffer[i] = static_cast<unsigned char>(i * 7 + i / 960);

  // Every tick writes file 0000 again: the counter goes back before each.
  const auto tick = [&console] {
    g_recordedFrames = 0;
    console.OnRecordTimer(res::IDT_RECORD);
  };
  tick();
  const std::vector<unsigned char> fileBytes = FileBytes(root + "_0000.bmp");
  const std::string plain = folder.File("plain.bmp");

  benchmark::RegisterBenchmark("tick/OnRecordTimer",
                               [&](benchmark::State& state) {
                                 for (auto _ : state)
                                   tick();
                                 if (g_recordedFrames != 1)
                                   state.SkipWithError("the tick did not record");
                               })
      ->UseRealTime()
      ->Unit(benchmark::kMicrosecond);
  benchmark::RegisterBenchmark("tick/plain",
                               [&](benchmark::State& state) {
                                 for (auto _ : state)
                                   PlainWrite(plain.c_str(), fileBytes);
                                 if (fileBytes.empty())
                                   state.SkipWithError("the tick's file did not read back");
                               })
      ->UseRealTime()
      ->Unit(benchmark::kMicrosecond);

  TimeReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("tick ratio: %.3f (target <= 1.5)\n",
              reporter.Ratio("tick/OnRecordTimer", "tick/plain"));
  benchmark::Shutdown();
  return 0;
}
