#pragma once
// Helpers for the command-line companion's tests: running korvane-cli in this
// process or as a program of its own, reading frame files back, and working
// in a folder of the test's own, beside the sample series.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/FolderEntries.h"
#include "support/TempDir.h"
#include "support/TextFiles.h"

namespace cli_test {

using Args = std::vector<std::string>;

// The arguments with `more` after them.
Args Joined(Args args, const Args& more);
// The arguments with the "@" that begins any of them replaced by `text`: a
// table's way of saying where a command takes the file a test gives it.
Args With(Args args, const std::string& text);

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

// RunCli in this process, with the streams captured.
CliResult RunInProcess(const Args& args);
// The same, expecting the run to end with `status` (else the arguments and
// standard error are shown).
CliResult RunExpecting(int status, const Args& args);
// Expects RunInProcess(args) to be a usage error: status 2, the command's
// name and then its usage line on standard error, nothing on standard
// output, and `said` (when not empty) somewhere on standard error.
void ExpectUsageError(const Args& args, const std::string& said = {});

// Where the child's standard output goes: captured, to a full device, or
// nowhere (closed).
enum class Stdout { Captured, Full, Closed };

// The built korvane-cli as a child process, in folder `cwd` (the current
// folder when empty), with its standard error and, as `stdoutTo` says, its
// standard output captured.
CliResult RunProgram(const std::vector<std::string>& args, const std::filesystem::path& cwd = {},
                     Stdout stdoutTo = Stdout::Captured);
// The same, the child unable to make a file larger than `bytes` (its writes
// fail as on a full disk: SIGXFSZ is ignored), its output captured.
CliResult RunProgramOnFullDisk(const std::vector<std::string>& args,
                               const std::filesystem::path& cwd, long bytes);

// A tracker's point: frame, id and position.
struct Point {
  int frame, id, x, y;
};
// The points as "frame,id,x,y" lines, the points layout of tracker output.
std::string PointsText(const std::vector<Point>& points);

// A frame file read back with ReadBmpFile (at most 320 × 240 pixels).
struct Frame {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> pixels;  // bottom-up rows, blue-green-red

  // Red, green and blue of picture pixel (x, y), y counted from the top.
  std::array<std::uint8_t, 3> Rgb(int x, int y) const;
};
Frame ReadFrame(const std::string& path);

// Enters a folder for the lifetime of the object.
class InFolder {
 public:
  explicit InFolder(const std::filesystem::path& folder);
  ~InFolder();
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  std::filesystem::path m_previous;
};

// A test beside the sample series, recorded by the sample command into a
// folder of its own (take9_0000.bmp to take9_0060.bmp and truetracks.txt),
// with a second, empty folder for what the test writes.
class SampleSeriesTest : public ::testing::Test {
 protected:
  void SetUp() override;
  std::string Root() const { return m_series.File("take9"); }
  std::string Tracks() const { return m_series.File("truetracks.txt"); }
  std::string FrameFile(int frame) const;

  TempDir m_series;
  TempDir m_dir;
};

using ::FilesIn;
using test_files::ReadText;
using test_files::WriteText;
using ::testing::HasSubstr;

}  // namespace cli_test
