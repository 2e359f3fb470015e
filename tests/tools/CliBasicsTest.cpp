// The command line itself: commands, help, usage errors and failures with
// their exit statuses, number and option parsing, and the whole-or-nothing
// file write.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "tools/Cli.h"
#include "tools/CommandTable.h"

using namespace cli_test;

namespace {

TEST(CliBasics, WithoutACommandOrWithAnUnknownOneItIsAUsageError) {
  CliResult result = RunProgram({});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "korvane-cli: a command is needed\nTry 'korvane-cli --help'.\n");
  result = RunProgram({"play"});
  EXPECT_EQ(result.status, 2);
  EXPECT_EQ(result.err, "korvane-cli: unknown command 'play'\nTry 'korvane-cli --help'.\n");
  EXPECT_EQ(result.out, "");
}

TEST(CliBasics, HelpListsEveryCommandAndEachCommandHasItsOwn) {
  const CliResult help = RunProgram({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_EQ(help.err, "");
  EXPECT_EQ(cli::Commands().size(), 11u);
  for (const cli::Command& command : cli::Commands()) {
    const std::string name(command.name), synopsis(command.synopsis);
    SCOPED_TRACE(name);
    EXPECT_THAT(help.out, HasSubstr("  korvane-cli " + synopsis + "\n"));
    const CliResult own = RunExpecting(0, {name, "--help"});
    EXPECT_TRUE(own.out.starts_with("usage: korvane-cli " + synopsis + "\n\n"));
    EXPECT_EQ(own.err, "");
    // Help wins over arguments that would be wrong.
    EXPECT_EQ(RunInProcess({name, "x", "-h"}).status, 0);
  }
}

// Each command refuses arguments it cannot use with status 2 and its usage
// line, before it reads or writes any file.
TEST(CliBasics, UsageErrorsExitTwoWithTheCommandsUsageLine) {
  // One case per line, arguments split at the spaces. Counting one past the
  // last frame of "check r 2147483647 2147483647" would overflow: refused.
  std::istringstream cases(
      "sample\nsample a b\nsample a --fast\nrender\nrender r 0 5\nrender r 0 5 o extra\n"
      "render r five 5 o\nrender r 6 5 o\nrender r -1 5 o\nrender r 0 100000 o\n"
      "render r 0 5 o --rate 0\nrender r 0 5 o --rate 31\nrender r 0 5 o --rate\n"
      "render r 0 5 o --tracks t\nrender r 0 5 o --markers --markers\nrender r 0 5 o --slow\n"
      "score\nscore t p 10\nscore t p 11 10\nscore t p -1 10\nscore t p 10 500\n"
      "score t p x 10\nscore t p 10 11 --tsv\nnear t 1 1 10\nnear t 1 1 500 5\n"
      "near t 1 1 -1 5\nnear t a 1 10 5\nnear t 1 1 10 five\nnear t 1 1 10 nan\n"
      "near t 1 1 10 inf\ncheck\ncheck r 0\ncheck r 5 4\ncheck r -1 4\ncheck r 0 100000\n"
      "check r 2147483647 2147483647\ncheck r 0 4 --tracks\ncheck r 0 4 --markers\n"
      "import src\nimport src o --fit --center\nimport src o --crop 1,2,3\n"
      "import src o --crop 0,0,0,5\nimport src o --jobs 0\nimport src o --start -1\n"
      "import a%d%d.png o\nimport a.png o\nimport a%s.png o\nimport d%d/a%d.png o\n"
      "mot2tracks gt\nmot2tracks gt o --ids 1,1\nmot2tracks gt o --classes x\n"
      "tracks2mot t\ntracks2mot t o --box 0,5\ntracks2mot t o --box 5");
  const TempDir dir;
  const InFolder inDir(dir.Path());
  int count = 0;
  for (std::string line; std::getline(cases, line); ++count) {
    Args args;
    for (std::istringstream words(line); words.good();)
      words >> args.emplace_back();
    ExpectUsageError(args);
  }
  EXPECT_EQ(count, 54);
  EXPECT_EQ(RunProgram({"score", "t", "p", "11", "10"}).status, 2);
  EXPECT_TRUE(FilesIn(dir.Path()).empty());
}

// A file that cannot be used is a failure, status 1, named on standard error;
// nothing is written.
TEST(CliBasics, FailuresExitOneNamingTheFile) {
  const TempDir dir;
  const std::string none = dir.File("none.txt");
  const std::string tracks = dir.File("t.txt");
  const std::string path = dir.File("p.txt");
  WriteText(tracks, "1 10\n3 4\n");
  WriteText(path, "10 0 0\n");
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"sample", tracks},
       "sample: " + tracks + ": not a folder and cannot be made one: Not a directory"},
      {{"render", "r", "0", "5", tracks + "/out"},
       "render: " + tracks + ": not a folder, for OUTROOT"},
      {{"render", "r", "0", "5", dir.File("out"), "--markers", "--tracks", none},
       "render: " + none + ": missing"},
      // Without --tracks the track file comes from the current folder.
      {{"render", "r", "0", "5", dir.File("out"), "--markers"}, "render: truetracks.txt: missing"},
      {{"score", tracks, none, "10", "11"}, "score: " + none + ": missing"},
      {{"score", tracks, dir.Path().string(), "10", "11"},
       "score: " + dir.Path().string() + ": not a regular file (a folder)"},
      {{"score", none, path, "10", "11"}, "score: " + none + ": missing"},
      {{"near", none, "1", "1", "10", "5"}, "near: " + none + ": missing"},
      {{"check", "r", "0", "4", "--tracks", none}, "check: " + none + ": missing"},
  };
  for (const auto& [args, message] : cases) {
    const CliResult result = RunProgram(args, dir.Path());
    EXPECT_EQ(result.status, 1) << message;
    EXPECT_EQ(result.err, "korvane-cli " + message + "\n");
    EXPECT_EQ(result.out, "");
  }
  EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"p.txt", "t.txt"}));
}

// What a command prints is part of its work: when standard output cannot
// take it (a full disk, a closed stream), the command fails with the reason,
// also when it is done otherwise and has written its files.
TEST(CliBasics, AnOutputThatCannotBeWrittenIsAFailure) {
  const TempDir dir;
  const std::string tracks = dir.File("t.txt");
  const std::string path = dir.File("p.txt");
  WriteText(tracks, "1 10\n3 4\n");
  WriteText(path, "10 0 0\n");
  const std::vector<std::vector<std::string>> commands = {
      {"--help"},
      {"score", tracks, path, "10", "11"},
      {"near", tracks, "1", "1", "10", "5"},
      {"check", dir.File("r"), "0", "0", "--tracks", tracks},
      {"sample", dir.File("series")},
  };
  const std::pair<Stdout, std::string> outputs[] = {
      {Stdout::Full, "No space left on device"},
      {Stdout::Closed, "Bad file descriptor"},
  };
  for (const auto& args : commands) {
    for (const auto& [stdoutTo, reason] : outputs) {
      SCOPED_TRACE(args[0] + " with " + reason);
      const CliResult result = RunProgram(args, dir.Path(), stdoutTo);
      EXPECT_EQ(result.status, 1);
      EXPECT_THAT(result.err,
                  HasSubstr("korvane-cli: cannot write standard output: " + reason + "\n"));
    }
    // In this process: a stream that takes nothing.
    std::ostream out(nullptr);
    std::ostringstream err;
    EXPECT_EQ(RunCli(args, out, err), 1);
    EXPECT_TRUE(err.str().ends_with("cannot write standard output: the output stream failed\n"));
  }
}

}  // namespace
