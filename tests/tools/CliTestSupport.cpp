#include "CliTestSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "image/BmpFile.h"
#include "support/TempDir.h"
#include "tools/Cli.h"

extern char** environ;

namespace cli_test {

CliResult RunInProcess(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  CliResult result;
  result.status = RunCli(args, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

CliResult RunProgram(const std::vector<std::string>& args, const std::filesystem::path& cwd,
                     Stdout stdoutTo) {
  const TempDir streams;
  const std::string outPath = streams.File("out");
  const std::string errPath = streams.File("err");
  std::vector<std::string> argv{KORVANE_CLI_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (std::string& arg : argv)
    pointers.push_back(arg.data());
  pointers.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (stdoutTo == Stdout::Closed)
    posix_spawn_file_actions_addclose(&actions, 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1,
                                     stdoutTo == Stdout::Full ? "/dev/full" : outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  if (!cwd.empty())
    posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  pid_t pid = 0;
  CliResult result;
  if (posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, pointers.data(), environ) == 0) {
    int status = 0;
    if (waitpid(pid, &status, 0) == pid && WIFEXITED(status))
      result.status = WEXITSTATUS(status);
  }
  posix_spawn_file_actions_destroy(&actions);
  result.out = ReadText(outPath);
  result.err = ReadText(errPath);
  return result;
}

std::array<std::uint8_t, 3> Frame::Rgb(int x, int y) const {
  const std::size_t offset = (static_cast<std::size_t>(height - 1 - y) * width + x) * 3;
  return {pixels[offset + 2], pixels[offset + 1], pixels[offset]};
}

Frame ReadFrame(const std::string& path) {
  Frame frame;
  frame.pixels.assign(320 * 240 * 3, 0);
  ReadBmpFile(path.c_str(), frame.pixels, frame.width, frame.height);
  frame.pixels.resize(static_cast<std::size_t>(frame.width) * frame.height * 3);
  return frame;
}

InFolder::InFolder(const std::filesystem::path& folder)
    : m_previous(std::filesystem::current_path()) {
  std::filesystem::current_path(folder);
}

InFolder::~InFolder() {
  std::error_code ignored;
  std::filesystem::current_path(m_previous, ignored);
}

}  // namespace cli_test
