#pragma once
// What the benchmark programs share: whether a peer program is on the PATH,
// turns taken with a peer and the least times of each side's runs, the bare
// open/read/close and open/write/close every ratio is measured against, the
// pattern their frames are filled with, the registration of a wall-clock benchmark, and a reporter
// that keeps each benchmark's fastest time so a program can print
// "<name> ratio: X (target <= Y)" lines. Their files go in a base::TempFolder.
// Header-only: each bench/<name>.cpp is a program of its own and includes
// this once.

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <limits>
#include <map>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "base/TempFolder.h"

namespace bench {

// Whether `program` is an executable file in a folder of the PATH.
inline bool OnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    if (!folder.empty() && ::access((folder + "/" + program).c_str(), X_OK) == 0)
      return true;
  }
  return false;
}

// The least wall, user and system seconds of a program's runs.
struct Times {
  double wall = std::numeric_limits<double>::infinity();
  double user = wall;
  double system = wall;
};

inline double Seconds(const timeval& time) {
  return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

// Runs `run` and keeps its times in `least`: the processor times of this
// process (`who` RUSAGE_SELF, ours in-process) or of the waited-for child
// (RUSAGE_CHILDREN, a peer program).
inline bool Timed(int who, Times& least, const std::function<bool()>& run) {
  rusage before{};
  ::getrusage(who, &before);
  const auto start = std::chrono::steady_clock::now();
  const bool done = run();
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  rusage after{};
  ::getrusage(who, &after);
  least.wall = std::min(least.wall, wall);
  least.user = std::min(least.user, Seconds(after.ru_utime) - Seconds(before.ru_utime));
  least.system = std::min(least.system, Seconds(after.ru_stime) - Seconds(before.ru_stime));
  return done;
}

// One turn of ours and one of the peer's in every iteration, the side that
// goes first changing each time, so a slow spell of the machine or the disk
// falls on both. `prepare` (when given) runs with the clock stopped before
// each turn; `turn` returns why it failed, or nothing, and a failure ends the
// benchmark.
inline void TakeTurns(benchmark::State& state, const std::function<void(bool ours)>& prepare,
                      const std::function<std::optional<std::string>(bool ours)>& turn) {
  for (auto _ : state) {
    for (const bool ours : {state.iterations() % 2 == 0, state.iterations() % 2 != 0}) {
      if (prepare) {
        state.PauseTiming();
        prepare(ours);
        state.ResumeTiming();
      }
      if (const std::optional<std::string> problem = turn(ours)) {
        state.SkipWithError(problem->c_str());
        return;
      }
    }
  }
}

// A file descriptor, closed when the object goes.
class PlainFile {
 public:
  PlainFile(const char* fileName, int flags) : m_fd(::open(fileName, flags | O_CLOEXEC, 0666)) {}
  ~PlainFile() {
    if (m_fd >= 0) {
      ::close(m_fd);
    }
  }
  PlainFile(const PlainFile&) = delete;
  PlainFile& operator=(const PlainFile&) = delete;

  bool IsOpen() const { return m_fd >= 0; }
  int Fd() const { return m_fd; }

 private:
  int m_fd = -1;
};

// The bare reference for reading: one open, each part filled in turn with as
// many reads as it takes, one close. False when the file cannot be opened or
// ends before the last part is full.
inline bool PlainRead(const char* fileName, std::initializer_list<std::span<unsigned char>> parts) {
  const PlainFile file(fileName, O_RDONLY);
  if (!file.IsOpen()) {
    return false;
  }
  for (const std::span<unsigned char> part : parts) {
    std::size_t done = 0;
    while (done < part.size()) {
      const ssize_t got = ::read(file.Fd(), part.data() + done, part.size() - done);
      if (got <= 0) {
        return false;
      }
      done += static_cast<std::size_t>(got);
    }
  }
  return true;
}

// The bare reference for writing: one open that creates or truncates, as many
// writes as it takes, one close. False when not every byte was written.
inline bool PlainWrite(const char* fileName, std::span<const unsigned char> bytes) {
  const PlainFile file(fileName, O_WRONLY | O_CREAT | O_TRUNC);
  if (!file.IsOpen()) {
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(file.Fd(), bytes.data() + done, bytes.size() - done);
    if (put <= 0) {
      return false;
    }
    done += static_cast<std::size_t>(put);
  }
  return true;
}

// The picture every program's frames hold: bytes that vary along each row and
// from row to row, so no stage can get away with a run of equal bytes.
inline void FillTestPattern(std::span<unsigned char> pixels) {
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    pixels[i] = static_cast<unsigned char>(i * 7 + i / 960);
  }
}

using Body = std::function<void(benchmark::State&)>;

// Registers body under name, timed on the wall clock and shown in
// microseconds; it runs as often as the command line says (once by default).
inline benchmark::internal::Benchmark* RegisterOnce(const char* name, Body body) {
  return benchmark::RegisterBenchmark(name, std::move(body))
      ->UseRealTime()
      ->Unit(benchmark::kMicrosecond);
}

// The same, repeated five times; FastestRunReporter keeps the fastest.
inline void Register(const char* name, Body body) {
  RegisterOnce(name, std::move(body))->Repetitions(5);
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
    const double p = Fastest(plain);
    return p > 0 ? Fastest(ours) / p : std::numeric_limits<double>::quiet_NaN();
  }

  // The fastest time of a benchmark in its own unit, or NaN when it did not
  // run.
  double Fastest(const std::string& name) const {
    const auto it = m_fastest.find(name);
    return it == m_fastest.end() ? std::numeric_limits<double>::quiet_NaN() : it->second;
  }

 private:
  std::map<std::string, double> m_fastest;
};

}  // namespace bench
