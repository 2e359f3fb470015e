// The command line itself: commands, help, exit statuses, number parsing, and
// the whole-or-nothing file write.

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "CliTestSupport.h"
#include "support/TempDir.h"
#include "tools/CliFiles.h"
#include "tools/CliUsage.h"

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
  for (const cli::CommandUsage& command : cli::Commands()) {
    SCOPED_TRACE(std::string(command.name));
    EXPECT_NE(help.out.find("  korvane-cli " + std::string(command.synopsis) + "\n"),
              std::string::npos);
    const CliResult own = RunInProcess({std::string(command.name), "--help"});
    EXPECT_EQ(own.status, 0);
    EXPECT_TRUE(
        own.out.starts_with("usage: korvane-cli " + std::string(command.synopsis) + "\n\n"));
    EXPECT_TRUE(own.out.ends_with(".\n"));
    EXPECT_EQ(own.err, "");
    // Help wins over arguments that would be wrong.
    EXPECT_EQ(RunInProcess({std::string(command.name), "x", "-h"}).status, 0);
  }
  EXPECT_EQ(cli::Commands().size(), 5u);
}

TEST(CliBasics, TheUsageLinesAreTheDocumentedOnes) {
  std::vector<std::string> lines;
  for (const cli::CommandUsage& command : cli::Commands())
    lines.emplace_back(command.synopsis);
  EXPECT_EQ(lines, (std::vector<std::string>{
                       "sample DIR",
                       "render ROOT FIRST LAST OUTROOT [--tracks FILE] [--trails] [--markers] "
                       "[--rate N]",
                       "score TRACKS MEASURED FROM TO [--csv]",
                       "near TRACKS X Y FRAME THRESHOLD",
                       "check ROOT FIRST LAST [--tracks FILE]",
                   }));
}

TEST(CliBasics, IntegersAreReadWholeAndInRange) {
  EXPECT_EQ(cli::ParseInt("42"), 42);
  EXPECT_EQ(cli::ParseInt("+42"), 42);
  EXPECT_EQ(cli::ParseInt("-7"), -7);
  EXPECT_EQ(cli::ParseInt("2147483647"), INT_MAX);
  EXPECT_EQ(cli::ParseInt("-2147483648"), INT_MIN);
  for (const char* bad : {"", "+", "-", "+-5", "2147483648", "12a", " 1", "1 ", "0x10", "1.0"})
    EXPECT_EQ(cli::ParseInt(bad), std::nullopt) << bad;
}

TEST(CliBasics, NumbersAreReadWholeAndFinite) {
  EXPECT_EQ(cli::ParseDouble("5.5"), 5.5);
  EXPECT_EQ(cli::ParseDouble("+5"), 5.0);
  EXPECT_EQ(cli::ParseDouble("-0.25"), -0.25);
  EXPECT_EQ(cli::ParseDouble("1e3"), 1000.0);
  for (const char* bad : {"", "five", "5.5.5", "nan", "inf", "-inf", "1e999", "5 "})
    EXPECT_EQ(cli::ParseDouble(bad), std::nullopt) << bad;
}

TEST(CliBasics, OptionsAreReadOnceEachWithTheirValues) {
  const cli::OptionSpec options[] = {{"--tracks", true}, {"--csv", false}};
  cli::ParsedArgs parsed;
  const std::vector<std::string> args{"a", "--tracks", "t.txt", "-5", "--csv"};
  EXPECT_EQ(cli::ParseArgs(args, options, parsed), std::nullopt);
  EXPECT_EQ(parsed.positional, (std::vector<std::string>{"a", "-5"}));
  ASSERT_NE(parsed.Value("--tracks"), nullptr);
  EXPECT_EQ(*parsed.Value("--tracks"), "t.txt");
  EXPECT_TRUE(parsed.Has("--csv"));
  EXPECT_FALSE(parsed.help);

  cli::ParsedArgs twice;
  EXPECT_EQ(cli::ParseArgs(std::vector<std::string>{"--csv", "--csv"}, options, twice),
            "--csv is given twice");
  cli::ParsedArgs noValue;
  EXPECT_EQ(cli::ParseArgs(std::vector<std::string>{"--tracks"}, options, noValue),
            "--tracks needs a value");
  cli::ParsedArgs unknown;
  EXPECT_EQ(cli::ParseArgs(std::vector<std::string>{"--fast"}, options, unknown),
            "unknown option --fast");
}

TEST(CliBasics, AnAtomicWriteLeavesTheWholeFileOrNothing) {
  const TempDir dir;
  const std::string path = dir.FilePath("tracks.txt");
  EXPECT_EQ(cli::WriteFileAtomically(path, "first\n"), std::nullopt);
  EXPECT_EQ(cli::WriteFileAtomically(path, "second\n"), std::nullopt);
  EXPECT_EQ(ReadText(path), "second\n");
  const auto permissions = std::filesystem::status(path).permissions();
  EXPECT_NE(permissions & std::filesystem::perms::owner_read, std::filesystem::perms::none);

  const std::string inMissingFolder = dir.FilePath("none/tracks.txt");
  const auto error = cli::WriteFileAtomically(inMissingFolder, "x");
  ASSERT_TRUE(error.has_value());
  EXPECT_NE(error->find(inMissingFolder), std::string::npos);

  // A folder in the way: the rename fails and the temporary file goes.
  const std::string folder = dir.FilePath("folder");
  std::filesystem::create_directory(folder);
  std::filesystem::create_directory(folder + "/inside");
  EXPECT_TRUE(cli::WriteFileAtomically(folder, "x").has_value());
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"folder", "tracks.txt"}));
}

TEST(CliBasics, FrameFileNamesFollowTheSeriesNaming) {
  EXPECT_EQ(cli::FrameFileName("a/take9", 24), "a/take9_0024.bmp");
  EXPECT_EQ(cli::FrameFileName("r", 10000), "r_10000.bmp");
  EXPECT_EQ(cli::FrameFileName("r", -1), "r_-001.bmp");
  EXPECT_EQ(cli::FrameFileName("r", INT_MIN), "r_-2147483648.bmp");
}

}  // namespace
