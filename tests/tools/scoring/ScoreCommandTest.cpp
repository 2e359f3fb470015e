// korvane-cli score and near on hand-made track files and measured paths
// whose statistics are known.

#include <gtest/gtest.h>

#include "CliTestSupport.h"

using namespace cli_test;

namespace {

// Three targets from frame 10: target 0 at (3, 4) then (6, 8), target 1 at
// (1, 1) then (2, 2), target 2 at (0, 1) in frame 10 and disabled in 11.
constexpr char kTracks[] =
    "3 10\n"
    "3 4   1 1   0 1\n"
    "6 8   2 2   1000 0\n";
// Measured at the origin in both frames, with comments and a blank line.
constexpr char kPath[] = "# frame x y\n10 0 0\n\n11 0 0  # last\n";

class ScoreCommand : public ::testing::Test {
 protected:
  std::string TracksFile() const { return m_dir.File("tracks.txt"); }
  std::string PathFile() const { return m_dir.File("path.txt"); }
  TempDir m_dir;
};

// Target 0: squared distances 25 and 100, mean 62.5, variance 1406.25.
// Target 1: 2 and 8, mean 5, variance 9. Target 2 is disabled, so although
// its first frame is nearer, it is neither scored nor the best match. A frame
// the path does not give counts as the origin.
TEST_F(ScoreCommand, EachEnabledTrackIsScoredAndTheBestMatchNamed) {
  struct Case {
    std::string tracks, path;
    std::vector<std::string> options;
    std::string out;
  };
  const std::string header = "track             mean         variance\n";
  const std::vector<Case> cases = {
      {kTracks,
       kPath,
       {"10", "11"},
       header + "0               62.500         1406.250\n"
                "1                5.000            9.000\n"
                "2     disabled\n"
                "best             5.000            9.000  track 1\n"},
      {kTracks,
       kPath,
       {"10", "11", "--csv"},
       "track,mean,variance\n0,62.5,1406.25\n1,5,9\n2,,\nbest,5,9\n"},
      {kTracks,
       "11 6 8\n",
       {"10", "10", "--csv"},
       "track,mean,variance\n0,25,0\n1,2,0\n2,,\nbest,2,0\n"},
      // Equal means: the lower index is named.
      {"2 10\n3 4   4 3\n",
       "10 0 0\n",
       {"10", "10"},
       header + "0               25.000            0.000\n"
                "1               25.000            0.000\n"
                "best            25.000            0.000  track 0\n"},
      {"1 10\n5000 5\n",
       kPath,
       {"10", "11"},
       header + "0     disabled\nbest  100000000000.000            0.000  no track matches\n"},
      {"1 10\n5000 5\n", kPath, {"10", "11", "--csv"}, "track,mean,variance\n0,,\nbest,1e+11,0\n"},
  };
  for (const Case& c : cases) {
    WriteText(TracksFile(), c.tracks);
    WriteText(PathFile(), c.path);
    const CliResult result =
        RunExpecting(0, Joined({"score", TracksFile(), PathFile()}, c.options));
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, c.out);
  }
}

TEST_F(ScoreCommand, ABadMeasuredPathIsAFailureNamingItsLine) {
  WriteText(TracksFile(), kTracks);
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
    const CliResult result = RunInProcess({"score", TracksFile(), PathFile(), "10", "11"});
    EXPECT_EQ(result.status, 1) << text;
    EXPECT_EQ(result.err, "korvane-cli score: " + PathFile() + message + "\n");
    EXPECT_EQ(result.out, "");
  }
}

// Target 2 is disabled and stands at (0, 1) in frame 10: the point (3, 5) is
// 5 away from it, and nearness is strictly closer than the threshold. Target
// 0 is enabled and stands at (3, 4): it does not count.
TEST_F(ScoreCommand, NearLooksAtDisabledTargetsOnly) {
  WriteText(TracksFile(), kTracks);
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"3", "5", "10", "5"}, "not near\n"},   {{"3", "5", "10", "5.5"}, "near\n"},
      {{"3", "5", "10", "+5.01"}, "near\n"},   {{"-3", "-3", "10", "6"}, "near\n"},
      {{"3", "4", "10", "0.5"}, "not near\n"}, {{"0", "1", "10", "0"}, "not near\n"},
  };
  for (const auto& [point, answer] : cases) {
    const CliResult result = RunExpecting(0, Joined({"near", TracksFile()}, point));
    EXPECT_EQ(result.out, answer) << ::testing::PrintToString(point);
  }
}

}  // namespace
