// korvane-cli evaluate on a small track file and tracker outputs whose
// metrics are worked out by hand, in each layout, and its refusals.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "CliTestSupport.h"

using namespace cli_test;

namespace {

// Three targets from frame 1. Target 2 is disabled at frame 2, so it is no
// truth object anywhere, but its frame 1 position (100, 100) still marks
// hypotheses to ignore.
constexpr char kTruth[] =
    "3 1\n"
    "10 10   50 50   100 100\n"
    "12 10   50 52   1000 1000\n"
    "14 10   0 0     0 0\n";

// Ids 4 and 5 track targets 0 and 1 (distances 0, 1, 1, 0, 0); id 6 stands
// near the disabled target (ignored); id 7 is a false positive.
const std::vector<Point> kPoints = {{1, 4, 10, 10},  {1, 5, 51, 50}, {1, 6, 101, 100},
                                    {2, 4, 12, 11},  {2, 5, 50, 52}, {3, 4, 14, 10},
                                    {3, 7, 300, 200}};

// MOTA 1 - 1/5, MOTP 2/5, IDP 5/6, IDR 5/5, IDF1 10/11.
constexpr char kJson[] = R"({
  "frames": 3,
  "gt": 5,
  "hypotheses": 7,
  "matches": 5,
  "fp": 1,
  "fn": 0,
  "idsw": 0,
  "frag": 0,
  "ignored": 1,
  "mota": 0.8,
  "motp": 0.4,
  "idtp": 5,
  "idfp": 1,
  "idfn": 0,
  "idp": 0.8333333333333334,
  "idr": 1,
  "idf1": 0.9090909090909091,
  "mt": 2,
  "pt": 0,
  "ml": 0,
  "per_target": [
    {"index": 0, "present": 3, "matches": 3, "hypothesis": 4},
    {"index": 1, "present": 2, "matches": 2, "hypothesis": 5}
  ]
}
)";

std::string PointsText() {
  return "# frame,id,x,y\n" + cli_test::PointsText(kPoints);
}

// The same boxes as MOTChallenge rows, frames as they stand (as mot2tracks
// takes them without a geometry): 4 x 6 boxes centred on the points, a
// confidence and world coordinates after them.
std::string MotText() {
  std::string text;
  for (const Point& p : kPoints)
    text += std::to_string(p.frame) + "," + std::to_string(p.id) + "," + std::to_string(p.x - 2) +
            "," + std::to_string(p.y - 3) + ",4,6,0.9,-1,-1,-1\n";
  return text;
}

// The same points as a track file of 8 targets from frame 1, id = index.
std::string TracksText() {
  std::string text = "8 1\n";
  for (int frame = 1; frame <= 3; ++frame) {
    for (int target = 0; target < 8; ++target) {
      std::string row = "0 0";
      for (const Point& p : kPoints) {
        if (p.frame == frame && p.id == target)
          row = std::to_string(p.x) + " " + std::to_string(p.y);
      }
      text += row + "\n";
    }
  }
  return text;
}

// A 1920 × 1080 series fitted into the frame: a sixth of the size, 30 rows
// down, source picture 1 in frame 0.
constexpr char kFitGeometry[] =
    "source 1920 1080\ncrop 0 0 1920 1080\nscaled 320 180\n"
    "scale 0.16666666666666666 0.16666666666666666\noffset 0 30\n"
    "first_frame 0\nfirst_source 1\n";

// The points as a tracker reports them on the source pictures: 24 × 36 boxes
// whose centres lie 2 source pixels (a third of a frame pixel, rounded away)
// right of and below the points, frames numbered from 1; and a box in
// source picture 900, which the series does not hold.
std::string SourceMotText() {
  std::string text;
  for (const Point& p : kPoints) {
    const int centreX = p.x * 6 + 2;
    const int centreY = (p.y - 30) * 6 + 2;
    text += std::to_string(p.frame + 1) + "," + std::to_string(p.id) + "," +
            std::to_string(centreX - 12) + "," + std::to_string(centreY - 18) + ",24,36,1\n";
  }
  return text + "900,4,0,0,24,36,1\n";
}

class EvaluateCommand : public ::testing::Test {
 protected:
  void SetUp() override { WriteText(Truth(), kTruth); }
  std::string Truth() const { return m_dir.File("truth.txt"); }
  std::string Hyp() const { return m_dir.File("hyp.txt"); }
  CliResult Evaluate(const std::string& hypText, const Args& options) {
    WriteText(Hyp(), hypText);
    return RunInProcess(Joined({"evaluate", Truth(), Hyp(), "--threshold", "3"}, options));
  }
  TempDir m_dir;
};

// Points, MOT boxes and a track file of the same hypotheses score alike, and
// so do boxes in source coordinates and numbers mapped through the series'
// geometry; a row the geometry places after frame 499 is left out with a note.
TEST_F(EvaluateCommand, EveryLayoutGivesTheHandWorkedMetrics) {
  const std::string geometry = m_dir.File("series.geometry");
  WriteText(geometry, kFitGeometry);
  struct Case {
    std::string text;
    Args options;
    std::string err = "";
  };
  const std::vector<Case> cases = {
      {PointsText(), {"--json"}},
      {MotText(), {"--hyp-format", "mot", "--json"}},
      {TracksText(), {"--json", "--hyp-format", "tracks"}},
      {SourceMotText(),
       {"--hyp-format", "mot", "--geometry", geometry, "--json"},
       "korvane-cli evaluate: note: 1 row of " + Hyp() +
           " falls outside frames 0 to 499 and is left out\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options));
    const CliResult result = Evaluate(c.text, c.options);
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, c.err);
    EXPECT_EQ(result.out, kJson);
  }
}

TEST_F(EvaluateCommand, CsvAndTableShowTheSameTotals) {
  const std::string header =
      "frames,gt,hypotheses,matches,fp,fn,idsw,frag,ignored,mota,motp,idtp,idfp,idfn,idp,idr,"
      "idf1,mt,pt,ml\n";
  CliResult result = Evaluate(PointsText(), {"--csv"});
  EXPECT_EQ(result.out,
            header +
                "3,5,7,5,1,0,0,0,1,0.8,0.4,5,1,0,0.8333333333333334,1,0.9090909090909091,2,"
                "0,0\n");
  // Frames 3 to 3 and 4 to 9: a ratio without a denominator is an empty field.
  result = Evaluate(PointsText(), {"--csv", "--from", "4", "--to", "9"});
  EXPECT_EQ(result.out, header + "6,0,0,0,0,0,0,0,0,,,0,0,0,,,,0,0,0\n");

  result = Evaluate(PointsText(), {});
  EXPECT_EQ(result.status, 0);
  EXPECT_THAT(result.out, HasSubstr("MOTA                           0.8000\n"));
  EXPECT_THAT(result.out, HasSubstr("\ntarget  present  matches  hypothesis\n"
                                    "     0        3        3           4\n"
                                    "     1        2        2           5\n"));
  result = Evaluate("", {"--from", "4", "--to", "9"});
  EXPECT_THAT(result.out, HasSubstr("MOTA                                -\n"));
}

TEST_F(EvaluateCommand, BadArgumentsAreUsageErrors) {
  const std::string t = Truth();
  const std::vector<std::pair<Args, std::string>> cases = {
      {{"evaluate", t, t}, "--threshold D is needed"},
      {{"evaluate", t, "--threshold", "3"}, "expects a track file TRUTH and a tracker's output"},
      {{"evaluate", t, t, "--threshold", "-1"}, "--threshold must be a distance"},
      {{"evaluate", t, t, "--threshold", "inf"}, "--threshold must be a distance"},
      {{"evaluate", t, t, "--threshold", "3", "--hyp-format", "xml"}, "--hyp-format must be"},
      {{"evaluate", t, t, "--threshold", "3", "--geometry", "g"}, "--geometry goes with"},
      {{"evaluate", t, t, "--threshold", "3", "--hyp-format", "tracks", "--geometry", "g"},
       "--geometry goes with --hyp-format mot"},
      {{"evaluate", t, t, "--threshold", "3", "--csv", "--json"}, "cannot be given together"},
      {{"evaluate", t, t, "--threshold", "3", "--from", "500"}, "--from must be a frame"},
      {{"evaluate", t, t, "--threshold", "3", "--to", "x"}, "--to must be a frame"},
      {{"evaluate", t, t, "--threshold", "3", "--from", "9", "--to", "8"}, "must not come after"},
  };
  for (const auto& [args, message] : cases)
    ExpectUsageError(args, message);
}

// A bad line is named; a pipe is refused at once, without waiting for a
// writer.
TEST_F(EvaluateCommand, BadInputIsAFailureNamingTheFile) {
  CliResult result = Evaluate("1,4,10,10\n1,4,11,11\n", {});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "korvane-cli evaluate: " + Hyp() +
                            ":2: id 4 is given twice in one frame (first on line 1)\n");
  EXPECT_EQ(result.out, "");
  result = Evaluate("1 4 10\n", {"--hyp-format", "mot"});
  EXPECT_EQ(
      result.err,
      "korvane-cli evaluate: " + Hyp() +
          ":1: a row needs at least 6 fields (frame,id,left,top,width,height), this one has 3\n");

  // A pipe given as a tracker's track file is refused at once too; the other
  // files that cannot be used are refused in every place of every command
  // by the hostile input tests.
  const std::string pipe = m_dir.File("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  result = RunInProcess({"evaluate", Truth(), pipe, "--threshold", "3", "--hyp-format", "tracks"});
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr(pipe));
}

// Inputs given in the wrong layout are named as such instead of failing far
// from the cause or scoring zeros: MOT rows read as points, boxes in source
// pixels scored without the series' geometry, MOT truth given as a track
// file.
TEST_F(EvaluateCommand, AWrongLayoutIsNamedAsSuch) {
  // Read as points, the MOT rows' frame 900 is the first line that fails.
  CliResult result = Evaluate(SourceMotText(), {});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "korvane-cli evaluate: " + Hyp() +
                            ":8: frame '900' is not a whole number from 0 to 499; the file looks "
                            "like MOT rows: use --hyp-format mot\n");
  // A points line that is wrong is not blamed on the layout.
  result = Evaluate("1,4,10\n", {});
  EXPECT_EQ(result.err, "korvane-cli evaluate: " + Hyp() + ":1: expected 'frame,id,x,y'\n");

  // Source-pixel boxes without --geometry: every hypothesis off the picture.
  std::string far;
  for (const Point& p : kPoints)
    far += std::to_string(p.frame) + "," + std::to_string(p.id) + ",1000,900,24,36,1\n";
  result = Evaluate(far, {"--hyp-format", "mot", "--csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "korvane-cli evaluate: warning: no hypothesis of " + Hyp() +
                            " lies inside the 320 x 240 picture: boxes in source pixels need the "
                            "series' --geometry\n");
  result = Evaluate(MotText(), {"--hyp-format", "mot", "--csv"});
  EXPECT_EQ(result.err, "");

  // MOT ground truth given as TRUTH: a failure naming what it looks like.
  WriteText(Truth(), "# gt\n1,1,912,484,97,109,0,7,1\n2,1,912,484,97,109,1,1,1\n");
  result = Evaluate(PointsText(), {});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "korvane-cli evaluate: " + Truth() +
                            ": not a track file: it looks like MOTChallenge rows (give "
                            "--truth-format mot, or convert it with mot2tracks)\n");
  EXPECT_EQ(result.out, "");
  WriteText(Truth(), "1,1,10,10\n");
  result = Evaluate(PointsText(), {});
  EXPECT_EQ(result.err, "korvane-cli evaluate: " + Truth() +
                            ": not a track file: it looks like frame,id,x,y points\n");
  // An empty track file is still a track file: a warning, and zeros.
  WriteText(Truth(), "");
  result = Evaluate(PointsText(), {"--csv"});
  EXPECT_EQ(result.status, 0);
  EXPECT_THAT(result.err, HasSubstr("warning: " + Truth() + ": no targets"));
}

}  // namespace
