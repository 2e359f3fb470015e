// korvane-cli benchmark on folders in the MOTChallenge layout: the rows per
// sequence and the COMBINED row, the seqmap, sequences that cannot be scored,
// the outputs, and the refusals.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "support/SyntheticMot.h"

using namespace cli_test;

namespace {

namespace fs = std::filesystem;

class BenchmarkCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(Tracker());
    // S1: the hand-worked sequence of the evaluate tests (MOTA 2/3, 3 TP,
    // 1 IDSW, IDTP 2). S2: one match, one miss, one false positive. S3: a
    // synthetic sequence with a noisy tracker.
    AddSequence("S1", 3,
                "1,1,10,10,20,40,1,1,1\n2,1,11,10,20,40,1,1,1\n3,1,12,10,20,40,1,1,1\n"
                "1,2,100,100,20,40,0,7,1\n",
                "1,3,10,10,20,40,0.9,-1,-1,-1\n2,3,11,11,20,40,1\n3,4,12,10,20,40,1\n"
                "1,9,100,100,20,40,1\n");
    AddSequence("S2", 2, "1,5,10,10,20,40,1,1,1\n2,5,12,10,20,40,1,1,1\n",
                "1,1,10,10,20,40\n2,1,40,10,20,40\n");
    synthetic_mot::SceneShape shape;
    shape.frames = 200;
    shape.people = 12;
    shape.shortest = 50;
    shape.longest = 200;
    shape.noisy = 0.3;
    const synthetic_mot::Scene scene = synthetic_mot::MakeScene(shape);
    AddSequence("S3", 200, synthetic_mot::MotText(scene.truth, true),
                synthetic_mot::MotText(scene.hypotheses, false));
  }
  fs::path Root() const { return m_dir.Path() / "gt"; }
  fs::path Tracker() const { return m_dir.Path() / "tracker"; }
  void AddSequence(const std::string& name, int length, const std::string& truth,
                   const std::string& hyp) {
    fs::create_directories(Root() / name / "gt");
    WriteText(Root() / name / "seqinfo.ini",
              "[Sequence]\nname=" + name + "\nimDir=img1\nframeRate=30\nseqLength=" +
                  std::to_string(length) + "\nimWidth=1920\nimHeight=1080\n");
    WriteText(Root() / name / "gt" / "gt.txt", truth);
    WriteText(Tracker() / (name + ".txt"), hyp);
  }
  Args BenchmarkArgs(const Args& options) const {
    return Joined({"benchmark", Root().string(), Tracker().string()}, options);
  }
  CliResult Benchmark(const Args& options) { return RunInProcess(BenchmarkArgs(options)); }
  // evaluate --truth-format mot on one sequence, as CSV of the same keys.
  std::string EvaluateCsvLine(const std::string& name, const Args& options) {
    const Args args{"evaluate",
                    (Root() / name / "gt" / "gt.txt").string(),
                    (Tracker() / (name + ".txt")).string(),
                    "--truth-format",
                    "mot",
                    "--csv"};
    const std::string out = RunInProcess(Joined(args, options)).out;
    return out.substr(out.find('\n') + 1);
  }
  TempDir m_dir;
};

TEST_F(BenchmarkCommand, RowsPerSequenceAndTheCombinedRow) {
  const CliResult result = Benchmark({"--csv", "--metrics", "clear,identity"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  std::vector<std::string> lines;
  for (std::size_t at = 0; at < result.out.size();) {
    const std::size_t end = result.out.find('\n', at);
    lines.push_back(result.out.substr(at, end - at));
    at = end + 1;
  }
  ASSERT_EQ(lines.size(), 5u) << result.out;
  EXPECT_EQ(lines[0],
            "sequence,MOTA,MOTP,IDSW,Frag,MT,PT,ML,TP,FN,FP,IDF1,IDP,IDR,IDTP,IDFN,IDFP,frames");
  EXPECT_EQ(lines[1],
            "S1,0.6666666666666666,0.983739837398374,1,0,1,0,0,3,0,0,0.6666666666666666,"
            "0.6666666666666666,0.6666666666666666,2,1,1,3");
  EXPECT_EQ(lines[2], "S2,0,1,0,0,0,1,0,1,1,1,0.5,0.5,0.5,1,1,1,2");
  // Each sequence's row is what evaluate gives it (its length counted as
  // its frames).
  EXPECT_EQ("S3," + EvaluateCsvLine("S3", {"--metrics", "clear,identity"}), lines[3] + "\n");
  EXPECT_TRUE(lines[4].starts_with("COMBINED,")) << lines[4];
}

TEST_F(BenchmarkCommand, CombinedIsFromSummedCountsAndHotaFromSummedAlphaCounts) {
  // Without S3: MOTA (4 - 1 - 1) / 5; IDF1 3 / (3 + 1 + 1); frames 3 + 2.
  WriteText(m_dir.Path() / "seqmap.txt", "name\nS1\n\nS2\n");
  CliResult result = Benchmark({"--json", "--seqmap", (m_dir.Path() / "seqmap.txt").string()});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::size_t combined = result.out.find("\"COMBINED\": {");
  ASSERT_NE(combined, std::string::npos) << result.out;
  const std::string row = result.out.substr(combined);
  EXPECT_THAT(row, HasSubstr("\"MOTA\": 0.4,"));
  EXPECT_THAT(row, HasSubstr("\"IDF1\": 0.6,"));
  EXPECT_THAT(row, HasSubstr("\"frames\": 5}"));
  // HOTA: S1 matches 3 at every alpha, S2 1; DetA (3 + 1) / (3 + 1 + 1 + 1)
  // ... from the summed counts: 4 / 6 at every alpha; AssA weighted by TP:
  // (5/9 x 3 + 1/3 x 1) / 4 = 1/2.
  EXPECT_THAT(row, HasSubstr("\"DetA\": 0.666666666666666"));
  EXPECT_THAT(row, HasSubstr("\"AssA\": 0.4999999999999999"));
  EXPECT_THAT(result.out, HasSubstr("\"failed\": []"));
  EXPECT_THAT(result.out, HasSubstr("{\"name\": \"S2\", \"HOTA\": "));

  // The same in one job or four.
  const CliResult one = Benchmark({"--csv", "--jobs", "1"});
  const CliResult four = Benchmark({"--csv", "--jobs", "4"});
  EXPECT_EQ(one.out, four.out);
  EXPECT_EQ(one.status, 0);
}

TEST_F(BenchmarkCommand, TableHasABlockPerFamily) {
  const CliResult result = Benchmark({"--metrics", "hota,clear"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(result.out.starts_with("sequence    HOTA    DetA"));
  EXPECT_THAT(result.out, HasSubstr("\n\nsequence    MOTA    MOTP  IDSW"));
  EXPECT_THAT(result.out, HasSubstr("\nS2        0.0000  1.0000     0"));
  EXPECT_THAT(result.out, HasSubstr("\nCOMBINED  "));
  EXPECT_EQ(result.out.find("IDF1"), std::string::npos);
}

TEST_F(BenchmarkCommand, ASequenceThatCannotBeScoredLeavesTheOthers) {
  fs::remove(Tracker() / "S2.txt");
  WriteText(Root() / "S1" / "gt" / "gt.txt", "1,1,10,10,20,40,1,1,1\n4,1,10,10,20,40,1,1,1\n");
  CliResult result = Benchmark({"--csv"});
  EXPECT_EQ(result.status, 1);
  const std::string s1 = (Root() / "S1" / "gt" / "gt.txt").string();
  const std::string s2 = (Tracker() / "S2.txt").string();
  EXPECT_EQ(result.err, "korvane-cli benchmark: " + s1 +
                            ":2: frame 4 is outside the sequence's frames 1 to 3\n"
                            "korvane-cli benchmark: " +
                            s2 +
                            ": missing\n"
                            "korvane-cli benchmark: no COMBINED row: 2 of 3 sequences could not "
                            "be scored\n");
  // S3 still reports, and there is no COMBINED row.
  EXPECT_THAT(result.out, HasSubstr("\nS3,"));
  EXPECT_EQ(result.out.find("COMBINED"), std::string::npos);
  result = Benchmark({"--json"});
  EXPECT_THAT(result.out, HasSubstr("\"COMBINED\": null"));
  EXPECT_THAT(result.out, HasSubstr("{\"name\": \"S2\", \"problem\": \"" + s2 + ": missing\"}"));

  WriteText(Root() / "S3" / "seqinfo.ini", "[Sequence]\nname=S3\n");
  result = Benchmark({"--csv"});
  EXPECT_THAT(result.err, HasSubstr((Root() / "S3" / "seqinfo.ini").string() +
                                    ": no seqLength in a [Sequence] section"));
}

TEST_F(BenchmarkCommand, LongBenchmarksShowTheirProgress) {
  // 30,000 frames with a single box each side: long by its frames, quick to
  // score.
  AddSequence("S4", 30000, "29999,1,0,0,10,10,1,1,1\n", "29999,1,0,0,10,10\n");
  const CliResult result = Benchmark({"--csv", "--jobs", "1"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_THAT(result.err, HasSubstr("benchmark"));
  EXPECT_THAT(result.err, HasSubstr("30205/30205 frames"));
  EXPECT_EQ(Benchmark({"--csv"}).out, result.out);
}

TEST_F(BenchmarkCommand, RefusalsAndBadLayouts) {
  for (const auto& [options, message] : std::vector<std::pair<Args, std::string>>{
           {{"--jobs", "0"}, "--jobs must be a whole number from 1 to 64"},
           {{"--jobs", "65"}, "--jobs must be"},
           {{"--csv", "--json"}, "cannot be given together"},
           {{"--iou", "2"}, "--iou must be"},
           {{"--metrics", "all"}, "--metrics takes"}})
    ExpectUsageError(BenchmarkArgs(options), message);
  ExpectUsageError({"benchmark", Root().string()});

  CliResult result = RunExpecting(1, {"benchmark", (m_dir.Path() / "none").string(), Tracker()});
  EXPECT_THAT(result.err, HasSubstr("none: not a folder"));
  const fs::path empty = m_dir.Path() / "empty";
  fs::create_directories(empty);
  result = RunInProcess({"benchmark", empty.string(), Tracker()});
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("holds no sequence folder with gt/gt.txt"));
  WriteText(m_dir.Path() / "seqmap.txt", "name\nS1\n../S2\n");
  result = Benchmark({"--seqmap", (m_dir.Path() / "seqmap.txt").string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("seqmap.txt:3: '../S2' is not the name of a sequence folder"));
  WriteText(m_dir.Path() / "seqmap.txt", "name\n");
  EXPECT_THAT(Benchmark({"--seqmap", (m_dir.Path() / "seqmap.txt").string()}).err,
              HasSubstr("names no sequence"));
}

}  // namespace
