// korvane-cli score and near on hand-made track files and measured paths
// whose statistics are known.

#include <gtest/gtest.h>

#include "CliTestSupport.h"
#include "support/TempDir.h"

using namespace cli_test;

namespace {

// Three targets from frame 10: target 0 at (3, 4) then (6, 8), target 1 at
// (1, 1) then (2, 2), target 2 at (0, 1) in frame 10 and disabled in 11.
constexpr char kTracks[] =
    "3 10\n"
    "3 4   1 1   0 1\n"
    "6 8   2 2   1000 0\n";

class ScoreCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteText(TracksFile(), kTracks);
    // Measured at the origin in both frames, with comments and a blank line.
    WriteText(PathFile(), "# frame x y\n10 0 0\n\n11 0 0  # last\n");
  }
  std::string TracksFile() const { return m_dir.FilePath("tracks.txt"); }
  std::string PathFile() const { return m_dir.FilePath("path.txt"); }
  CliResult Score(const std::string& path, std::vector<std::string> more = {}) const {
    std::vector<std::string> args{"score", TracksFile(), path, "10", "11"};
    args.insert(args.end(), more.begin(), more.end());
    return RunInProcess(args);
  }
  TempDir m_dir;
};

// Target 0: squared distances 25 and 100, mean 62.5, variance 1406.25.
// Target 1: 2 and 8, mean 5, variance 9. Target 2 is disabled, so although
// its first frame is nearer, it is neither scored nor the best match.
TEST_F(ScoreCommand, TheTableGivesEachEnabledTrackAndTheBestMatch) {
  const CliResult result = Score(PathFile());
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "track             mean         variance\n"
            "0               62.500         1406.250\n"
            "1                5.000            9.000\n"
            "2     disabled\n"
            "best             5.000            9.000  track 1\n");
}

TEST_F(ScoreCommand, CsvGivesTheExactNumbers) {
  const CliResult result = Score(PathFile(), {"--csv"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "track,mean,variance\n0,62.5,1406.25\n1,5,9\nbest,5,9\n");
}

TEST_F(ScoreCommand, AFrameThePathDoesNotGiveCountsAsTheOrigin) {
  WriteText(PathFile(), "11 6 8\n");
  const CliResult result = RunInProcess({"score", TracksFile(), PathFile(), "10", "10", "--csv"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "track,mean,variance\n0,25,0\n1,2,0\nbest,2,0\n");
}

TEST_F(ScoreCommand, WithoutEnabledTracksNothingMatches) {
  WriteText(TracksFile(), "1 10\n5000 5\n");
  const CliResult table = Score(PathFile());
  EXPECT_EQ(table.out,
            "track             mean         variance\n"
            "0     disabled\n"
            "best  100000000000.000            0.000  no track matches\n");
  EXPECT_EQ(Score(PathFile(), {"--csv"}).out, "track,mean,variance\nbest,1e+11,0\n");
}

TEST_F(ScoreCommand, ABadMeasuredPathIsAFailureNamingItsLine) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"10 1\n", ":1: expected three integers 'frame x y'"},
      {"# ok\n10 1 2 3\n", ":2: expected three integers 'frame x y'"},
      {"10 1 y\n", ":1: expected three integers 'frame x y'"},
      {"500 1 2\n", ":1: frame 500 is outside 0 to 499"},
      {"-1 1 2\n", ":1: frame -1 is outside 0 to 499"},
      {"10 1 2\n\n10 3 4\n", ":3: frame 10 is given twice"},
  };
  for (const auto& [text, message] : cases) {
    WriteText(PathFile(), text);
    const CliResult result = Score(PathFile());
    EXPECT_EQ(result.status, 1) << text;
    EXPECT_EQ(result.err, "korvane-cli score: " + PathFile() + message + "\n");
    EXPECT_EQ(result.out, "");
  }
}

TEST_F(ScoreCommand, MissingFilesAreFailuresNamingThem) {
  const std::string none = m_dir.FilePath("none.txt");
  CliResult result = Score(none);
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "korvane-cli score: " + none + ": cannot be opened\n");
  result = Score(m_dir.Path().string());
  EXPECT_EQ(result.status, 1);
  result = RunProgram({"score", none, PathFile(), "10", "11"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "korvane-cli score: " + none + ": cannot be read as a track file\n");
}

TEST_F(ScoreCommand, UsageErrors) {
  const std::string t = TracksFile();
  const std::string p = PathFile();
  const std::vector<std::vector<std::string>> cases = {
      {"score"},
      {"score", t, p, "10"},
      {"score", t, p, "11", "10"},
      {"score", t, p, "-1", "10"},
      {"score", t, p, "10", "500"},
      {"score", t, p, "x", "10"},
      {"score", t, p, "10", "11", "--tsv"},
  };
  for (const auto& args : cases) {
    const CliResult result = RunInProcess(args);
    EXPECT_EQ(result.status, 2) << args.size();
    EXPECT_NE(result.err.find("usage: korvane-cli score TRACKS MEASURED FROM TO [--csv]\n"),
              std::string::npos);
  }
  EXPECT_EQ(RunProgram({"score", t, p, "11", "10"}).status, 2);
}

// Target 2 is disabled and stands at (0, 1) in frame 10: the point (3, 5) is
// 5 away from it.
TEST_F(ScoreCommand, NearLooksAtDisabledTargetsOnly) {
  const auto near = [&](std::string x, std::string y, std::string frame, std::string threshold) {
    return RunInProcess({"near", TracksFile(), x, y, frame, threshold});
  };
  EXPECT_EQ(near("3", "5", "10", "5").out, "not near\n");
  EXPECT_EQ(near("3", "5", "10", "5.5").out, "near\n");
  EXPECT_EQ(near("3", "5", "10", "+5.01").status, 0);
  EXPECT_EQ(near("-3", "-3", "10", "6").out, "near\n");
  // Target 0 is enabled and stands at (3, 4): it does not count.
  EXPECT_EQ(near("3", "4", "10", "0.5").out, "not near\n");
  EXPECT_EQ(near("0", "1", "10", "0").out, "not near\n");
}

TEST_F(ScoreCommand, NearUsageErrorsAndMissingFile) {
  const std::string t = TracksFile();
  const std::vector<std::vector<std::string>> cases = {
      {"near", t, "1", "1", "10"},         {"near", t, "1", "1", "500", "5"},
      {"near", t, "1", "1", "-1", "5"},    {"near", t, "a", "1", "10", "5"},
      {"near", t, "1", "1", "10", "five"}, {"near", t, "1", "1", "10", "nan"},
      {"near", t, "1", "1", "10", "inf"},
  };
  for (const auto& args : cases) {
    const CliResult result = RunInProcess(args);
    EXPECT_EQ(result.status, 2) << args[args.size() - 1];
    EXPECT_NE(result.err.find("usage: korvane-cli near TRACKS X Y FRAME THRESHOLD\n"),
              std::string::npos);
  }
  const CliResult missing = RunInProcess({"near", m_dir.FilePath("x"), "1", "1", "10", "5"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err,
            "korvane-cli near: " + m_dir.FilePath("x") + ": cannot be read as a track file\n");
}

}  // namespace
