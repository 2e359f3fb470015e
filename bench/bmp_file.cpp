// Frame files against the plainest possible file code: reading and writing a
// 320 x 240 frame file through WriteBmpFile and ReadBmpFile should cost at most
// 1.3 times what a bare open/read/close or open/write/close of the same
// 230,454 bytes costs. The program runs all four benchmarks, then prints both
// ratios from the fastest repetition of each.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "image/BmpFile.h"

namespace {

constexpr int FRAME_WIDTH = 320;
constexpr int FRAME_HEIGHT = 240;
constexpr std::size_t FRAME_BYTES = FRAME_WIDTH * FRAME_HEIGHT * 3;
constexpr std::size_t FILE_BYTES = BMP_PIXEL_OFFSET + FRAME_BYTES;

// A fresh folder under /tmp for the files the benchmarks write, removed with
// its content at the end of the run.
class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern = "/tmp/korvane-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      std::perror("bench_bmp_file: cannot create a folder under /tmp");
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

// The bare reference: one open, whole-file reads until done, one close.
void PlainRead(const char* fileName, std::vector<unsigned char>& bytes) {
  const int fd = ::open(fileName, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t got = ::read(fd, bytes.data() + done, bytes.size() - done);
    if (got <= 0) {
      break;
    }
    done += static_cast<std::size_t>(got);
  }
  ::close(fd);
}

void PlainWrite(const char* fileName, const std::vector<unsigned char>& bytes) {
  const int fd = ::open(fileName, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) {
    return;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put <= 0) {
      break;
    }
    done += static_cast<std::size_t>(put);
  }
  ::close(fd);
}

// Shows the usual console table and keeps each benchmark's fastest
// repetition, the figure least disturbed by other work on the machine.
class FastestRunReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) {
        continue;
      }
      const auto [entry, added] =
          m_fastest.try_emplace(run.run_name.function_name, run.GetAdjustedRealTime());
      if (!added && run.GetAdjustedRealTime() < entry->second) {
        entry->second = run.GetAdjustedRealTime();
      }
    }
  }

  // Time of `ours` over time of `plain`, or NaN when either did not run.
  double Ratio(const std::string& ours, const std::string& plain) const {
    const auto o = m_fastest.find(ours);
    const auto p = m_fastest.find(plain);
    if (o == m_fastest.end() || p == m_fastest.end() || p->second <= 0) {
      return std::numeric_limits<double>::quiet_NaN();
    }
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

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
    return 1;
  }

  const BenchFolder folder;
  const std::string source = folder.File("take9_0024.bmp");
  const std::string ours = folder.File("ours.bmp");
  const std::string plain = folder.File("plain.bmp");

  std::vector<unsigned char> frame(FRAME_BYTES);
  for (std::size_t i = 0; i < frame.size(); ++i) {
    frame[i] = static_cast<unsigned char>(i * 7 + i / 960);
  }
  WriteBmpFile(source.c_str(), frame, FRAME_WIDTH, FRAME_HEIGHT);

  // The same 230,454 bytes that WriteBmpFile produces, for the bare writer.
  std::vector<unsigned char> fileBytes(FILE_BYTES);
  PlainRead(source.c_str(), fileBytes);

  Register("read/ReadBmpFile", [&](benchmark::State& state) {
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
  Register("read/plain", [&](benchmark::State& state) {
    std::vector<unsigned char> buffer(FILE_BYTES);
    for (auto _ : state) {
      PlainRead(source.c_str(), buffer);
      benchmark::DoNotOptimize(buffer.data());
    }
  });
  Register("write/WriteBmpFile", [&](benchmark::State& state) {
    for (auto _ : state) {
      WriteBmpFile(ours.c_str(), frame, FRAME_WIDTH, FRAME_HEIGHT);
    }
  });
  Register("write/plain", [&](benchmark::State& state) {
    for (auto _ : state) {
      PlainWrite(plain.c_str(), fileBytes);
    }
  });

  FastestRunReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("read ratio: %.3f (target <= 1.3)\n",
              reporter.Ratio("read/ReadBmpFile", "read/plain"));
  std::printf("write ratio: %.3f (target <= 1.3)\n",
              reporter.Ratio("write/WriteBmpFile", "write/plain"));
  benchmark::Shutdown();
  return 0;
}
