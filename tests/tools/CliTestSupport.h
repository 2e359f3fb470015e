#pragma once
// Helpers for the command-line companion's tests: running korvane-cli in this
// process or as a program of its own, reading frame files back, and working
// in a folder of the test's own.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/FolderEntries.h"
#include "support/TextFiles.h"

namespace cli_test {

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

// RunCli in this process, with the streams captured.
CliResult RunInProcess(const std::vector<std::string>& args);
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

using ::FilesIn;
using test_files::ReadText;
using test_files::WriteText;

}  // namespace cli_test
