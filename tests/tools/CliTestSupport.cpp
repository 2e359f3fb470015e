#include "CliTestSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <iterator>
#include <sstream>

#include "image/BmpFile.h"
#include "image/SeriesFrames.h"
#include "tools/Cli.h"
#include "tools/CommandTable.h"

extern char** environ;

namespace cli_test {

Args Joined(Args args, const Args& more) {
  args.insert(args.end(), more.begin(), more.end());
  return args;
}

Args With(Args args, const std::string& text) {
  for (std::string& arg : args) {
    if (arg.starts_with('@'))
      arg.replace(0, 1, text);
  }
  return args;
}

CliResult RunInProcess(const Args& args) {
  std::ostringstream out;
  std::ostringstream err;
  CliResult result;
  result.status = RunCli(args, out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

CliResult RunExpecting(int status, const Args& args) {
  CliResult result = RunInProcess(args);
  EXPECT_EQ(result.status, status) << ::testing::PrintToString(args) << "\n" << result.err;
  return result;
}

void ExpectUsageError(const Args& args, const std::string& said) {
  SCOPED_TRACE(::testing::PrintToString(args));
  const cli::Command* command = args.empty() ? nullptr : cli::FindCommand(args[0]);
  ASSERT_NE(command, nullptr);
  const CliResult result = RunExpecting(2, args);
  EXPECT_TRUE(result.err.starts_with("korvane-cli " + args[0] + ": ")) << result.err;
  EXPECT_THAT(result.err, HasSubstr("usage: korvane-cli " + std::string(command->synopsis) + "\n"));
  EXPECT_THAT(result.err, HasSubstr(said));
  EXPECT_EQ(result.out, "");
}

namespace {

// A run of the built program: its argument vector, and files of a folder of
// its own for its standard output and error.
class ProgramRun {
 public:
  explicit ProgramRun(const std::vector<std::string>& args) : m_argv{KORVANE_CLI_PATH} {
    m_argv.insert(m_argv.end(), args.begin(), args.end());
    for (std::string& arg : m_argv)
      m_pointers.push_back(arg.data());
    m_pointers.push_back(nullptr);
  }

  char* const* Argv() const { return m_pointers.data(); }
  const std::string& OutPath() const { return m_outPath; }
  const std::string& ErrPath() const { return m_errPath; }

  // What the child that ended as `status` (from waitpid, -1: none) left.
  CliResult Result(pid_t waited, int status) const {
    CliResult result;
    if (waited > 0 && WIFEXITED(status))
      result.status = WEXITSTATUS(status);
    result.out = ReadText(m_outPath);
    result.err = ReadText(m_errPath);
    return result;
  }

 private:
  const TempDir m_streams;
  const std::string m_outPath = m_streams.File("out");
  const std::string m_errPath = m_streams.File("err");
  std::vector<std::string> m_argv;
  std::vector<char*> m_pointers;
};

// Waits for the child pid (none when 0 or less); what waitpid gave.
pid_t Wait(pid_t pid, int& status) {
  status = 0;
  return pid > 0 ? ::waitpid(pid, &status, 0) : -1;
}

}  // namespace

CliResult RunProgram(const std::vector<std::string>& args, const std::filesystem::path& cwd,
                     Stdout stdoutTo) {
  const ProgramRun run(args);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (stdoutTo == Stdout::Closed)
    posix_spawn_file_actions_addclose(&actions, 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1,
                                     stdoutTo == Stdout::Full ? "/dev/full" : run.OutPath().c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, run.ErrPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0644);
  if (!cwd.empty())
    posix_spawn_file_actions_addchdir_np(&actions, cwd.c_str());
  pid_t pid = 0;
  if (posix_spawn(&pid, run.Argv()[0], &actions, nullptr, run.Argv(), environ) != 0)
    pid = 0;
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  const pid_t waited = Wait(pid, status);
  return run.Result(waited, status);
}

CliResult RunProgramOnFullDisk(const std::vector<std::string>& args,
                               const std::filesystem::path& cwd, long bytes) {
  const ProgramRun run(args);
  // The streams are opened before the limit, so they are not held to it.
  const int out = ::open(run.OutPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const int err = ::open(run.ErrPath().c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  const pid_t pid = ::fork();
  if (pid == 0) {
    // Only calls a child of a threaded process may make before exec.
    const struct rlimit limit { static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes) };
    if (::dup2(out, 1) < 0 || ::dup2(err, 2) < 0 || ::chdir(cwd.c_str()) != 0 ||
        ::signal(SIGXFSZ, SIG_IGN) == SIG_ERR || ::setrlimit(RLIMIT_FSIZE, &limit) != 0)
      ::_exit(127);
    ::execve(run.Argv()[0], run.Argv(), environ);
    ::_exit(127);
  }
  ::close(out);
  ::close(err);
  int status = 0;
  const pid_t waited = Wait(pid, status);
  return run.Result(waited, status);
}

std::string PointsText(const std::vector<Point>& points) {
  std::string text;
  for (const Point& p : points)
    text += std::to_string(p.frame) + "," + std::to_string(p.id) + "," + std::to_string(p.x) + "," +
            std::to_string(p.y) + "\n";
  return text;
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

void SampleSeriesTest::SetUp() {
  ASSERT_EQ(RunInProcess({"sample", m_series.Path().string()}).status, 0);
}

std::string SampleSeriesTest::FrameFile(int frame) const {
  return series::FrameFileName(Root(), frame);
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
