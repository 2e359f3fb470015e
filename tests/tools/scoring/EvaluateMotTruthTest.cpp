// korvane-cli evaluate with MOTChallenge ground truth: a near-perfect
// tracker on a sequence of the field's size, the protocol's rows, box and
// centre matching, the metric families, and the refusals; and the metric
// families on a track file's truth.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "support/SyntheticMot.h"

using namespace cli_test;

namespace {

// The value of "KEY": in a JSON object, or NaN when it is not there.
double JsonValue(const std::string& json, const std::string& key) {
  const std::string name = "\"" + key + "\": ";
  const std::size_t at = json.find(name);
  if (at == std::string::npos)
    return std::nan("");
  return std::strtod(json.c_str() + at + name.size(), nullptr);
}

class EvaluateMotTruth : public ::testing::Test {
 protected:
  std::string Truth() const { return m_dir.File("gt.txt"); }
  std::string Hyp() const { return m_dir.File("hyp.txt"); }
  CliResult Evaluate(const std::string& truth, const std::string& hyp, const Args& options) {
    WriteText(Truth(), truth);
    WriteText(Hyp(), hyp);
    return RunInProcess(Joined({"evaluate", Truth(), Hyp(), "--truth-format", "mot"}, options));
  }
  TempDir m_dir;
};

// 600 frames of 1920 x 1080, 70 pedestrians, the tracker 1 pixel off every
// box: what mot2tracks and a track file made a bad tracker of (ids dropped,
// frames cut, x clamped) scores as the near-perfect tracker it is.
TEST_F(EvaluateMotTruth, NearPerfectTrackerOnAFieldSizedSequence) {
  synthetic_mot::SceneShape shape;
  const synthetic_mot::Scene scene = synthetic_mot::MakeScene(shape);
  const std::string truth = synthetic_mot::MotText(scene.truth, true);
  const std::string hyp = synthetic_mot::MotText(scene.hypotheses, false);
  for (const std::vector<std::string>& options :
       {std::vector<std::string>{"--json"}, {"--json", "--threshold", "20"}}) {
    SCOPED_TRACE(options.size() > 1 ? "centres" : "boxes");
    const CliResult result = Evaluate(truth, hyp, options);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_GT(JsonValue(result.out, "MOTA"), 0.99) << result.out;
    EXPECT_GT(JsonValue(result.out, "IDF1"), 0.99) << result.out;
    EXPECT_EQ(JsonValue(result.out, "FP"), 0);
    EXPECT_EQ(JsonValue(result.out, "IDSW"), 0);
    EXPECT_EQ(JsonValue(result.out, "MT"), 70);
    EXPECT_GT(JsonValue(result.out, "HOTA"), 0.9);
    EXPECT_EQ(JsonValue(result.out, "frames"), 600);
  }
  // The static person's box is removed and the car is not scored.
  const CliResult result = Evaluate(truth, hyp, {"--csv"});
  EXPECT_EQ(result.err,
            "korvane-cli evaluate: note: the MOTChallenge protocol leaves out 1200 truth rows "
            "(not pedestrians, or confidence 0) and 600 hypotheses (matched to distractors)\n");
}

// Frames 1..3 of pedestrian 1 (20 x 40 boxes), a static person (class 7,
// confidence 0) in frame 1. The tracker: id 3 on the pedestrian in frames 1
// and 2 (frame 2 one pixel low: IoU 780/820), id 4 in frame 3, and id 9 on
// the static person.
constexpr char kTruth[] =
    "1,1,10,10,20,40,1,1,1\n2,1,11,10,20,40,1,1,1\n3,1,12,10,20,40,1,1,1\n"
    "1,2,100,100,20,40,0,7,1\n";
constexpr char kHyp[] =
    "1,3,10,10,20,40,0.9,-1,-1,-1\n2,3,11,11,20,40,1\n3,4,12,10,20,40,1\n1,9,100,100,20,40,1\n";
const std::string kHeader =
    "HOTA,DetA,AssA,LocA,DetRe,DetPr,AssRe,AssPr,HOTA(0),LocA(0),MOTA,MOTP,IDSW,Frag,MT,PT,ML,TP,"
    "FN,FP,IDF1,IDP,IDR,IDTP,IDFN,IDFP,frames\n";

TEST_F(EvaluateMotTruth, ProtocolBoxesAndCentresOnAHandWorkedSequence) {
  // MOTA (3 - 0 - 1) / 3; MOTP (1 + 39/41 + 1) / 3; IDTP 2 of 3; HOTA: every
  // match counts at every alpha, AssA (2 x 2/3 + 1 x 1/3) / 3 = 5/9.
  CliResult result = Evaluate(kTruth, kHyp, {"--csv", "--metrics", "clear,identity"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out,
            "MOTA,MOTP,IDSW,Frag,MT,PT,ML,TP,FN,FP,IDF1,IDP,IDR,IDTP,IDFN,IDFP,frames\n"
            "0.6666666666666666,0.983739837398374,1,0,1,0,0,3,0,0,0.6666666666666666,"
            "0.6666666666666666,0.6666666666666666,2,1,1,3\n");
  result = Evaluate(kTruth, kHyp, {"--json", "--metrics", "hota"});
  EXPECT_NEAR(JsonValue(result.out, "AssA"), 5.0 / 9, 1e-12);
  EXPECT_NEAR(JsonValue(result.out, "HOTA"), std::sqrt(5.0 / 9), 1e-12);
  EXPECT_NEAR(JsonValue(result.out, "DetA"), 1.0, 1e-12);
  EXPECT_TRUE(std::isnan(JsonValue(result.out, "MOTA")));  // only the families asked for

  // An IoU of 0.96 leaves frame 2 unmatched: a miss and a false positive.
  result = Evaluate(kTruth, kHyp, {"--csv", "--metrics", "clear", "--iou", "0.96"});
  EXPECT_EQ(result.out,
            "MOTA,MOTP,IDSW,Frag,MT,PT,ML,TP,FN,FP,frames\n"
            "0,1,1,1,0,1,0,2,1,1,3\n");
  // Without the protocol the static person is truth and id 9 matches it.
  result = Evaluate(kTruth, kHyp, {"--csv", "--metrics", "clear", "--protocol", "none"});
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "MOTA,MOTP,IDSW,Frag,MT,PT,ML,TP,FN,FP,frames\n"
            "0.75,0.9878048780487805,1,0,2,0,0,4,0,0,3\n");
  // Centres 1 pixel apart in frame 2: distance matching, MOTP in pixels.
  result = Evaluate(kTruth, kHyp, {"--metrics", "clear", "--threshold", "2"});
  EXPECT_THAT(result.out, HasSubstr("MOTP (pixels)                  0.3333\n"));
  // Frames 2 to 3 only.
  result = Evaluate(kTruth, kHyp, {"--csv", "--metrics", "clear", "--from", "2", "--to", "3"});
  EXPECT_EQ(result.out,
            "MOTA,MOTP,IDSW,Frag,MT,PT,ML,TP,FN,FP,frames\n"
            "0.5,0.975609756097561,1,0,1,0,0,2,0,0,2\n");
  result = Evaluate(kTruth, kHyp, {"--csv"});
  EXPECT_TRUE(result.out.starts_with(kHeader)) << result.out;
}

TEST_F(EvaluateMotTruth, BadInputIsAFailureNamingFileAndLine) {
  CliResult result = Evaluate(kTruth, "1,3,10,10,20,40\n1,3,11,10,20,40\n", {});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "korvane-cli evaluate: " + Hyp() +
                            ":2: id 3 is given twice in frame 1 (first on line 1)\n");
  result = Evaluate("1,1,10,10,20,40,1,1,1\n2,1,10,10,-20,40,1,1,1\n", kHyp, {});
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr(Truth() + ":2: "));
  // A class the benchmark does not have, refused by the protocol only.
  const std::string odd = "1,1,10,10,20,40,1,1,1\n1,2,50,10,20,40,1,20,1\n";
  result = Evaluate(odd, kHyp, {});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "korvane-cli evaluate: " + Truth() +
                            ":2: class 20 is none of the benchmark's classes 1 to 13\n");
  EXPECT_EQ(Evaluate(odd, kHyp, {"--protocol", "none"}).status, 0);
  result = Evaluate(kTruth, "1,3,10,10,20,40\n1,4,2e9,10,20,40\n", {});
  EXPECT_EQ(result.err,
            "korvane-cli evaluate: " + Hyp() + ":2: a position or size beyond 1e9 in magnitude\n");
}

TEST_F(EvaluateMotTruth, BadArgumentsAreUsageErrors) {
  WriteText(Truth(), kTruth);
  const std::string t = Truth();
  const std::vector<std::pair<Args, std::string>> cases = {
      {{t, t, "--truth-format", "xml"}, "--truth-format must be tracks or mot"},
      {{t, "--truth-format", "mot"}, "expects MOTChallenge ground truth TRUTH"},
      {{t, t, "--truth-format", "mot", "--iou", "0"}, "--iou must be a number above 0"},
      {{t, t, "--truth-format", "mot", "--iou", "1.5"}, "--iou must be a number above 0"},
      {{t, t, "--truth-format", "mot", "--iou", "0.5", "--threshold", "3"},
       "cannot be given together"},
      {{t, t, "--truth-format", "mot", "--threshold", "-3"}, "--threshold must be a distance"},
      {{t, t, "--truth-format", "mot", "--protocol", "mot17"}, "--protocol must be mot or none"},
      {{t, t, "--truth-format", "mot", "--metrics", "mota"}, "--metrics takes"},
      {{t, t, "--truth-format", "mot", "--metrics", "clear,"}, "--metrics takes"},
      {{t, t, "--truth-format", "mot", "--metrics", "hota,hota"}, "names hota twice"},
      {{t, t, "--truth-format", "mot", "--hyp-format", "points"}, "--hyp-format mot"},
      {{t, t, "--truth-format", "mot", "--geometry", "g"}, "--geometry goes with a track file"},
      {{t, t, "--truth-format", "mot", "--from", "2"}, "--from and --to go together"},
      {{t, t, "--truth-format", "mot", "--from", "3", "--to", "2"}, "must not come after"},
      {{t, t, "--truth-format", "mot", "--csv", "--json"}, "cannot be given together"},
      {{t, t, "--threshold", "3", "--iou", "0.5"}, "--iou and --protocol go with"},
      {{t, t, "--threshold", "3", "--protocol", "none"}, "--iou and --protocol go with"},
      {{t, t, "--threshold", "3", "--metrics", "x"}, "--metrics takes"},
  };
  for (const auto& [options, message] : cases)
    ExpectUsageError(Joined({"evaluate"}, options), message);
}

// A track file's truth with the families asked for: the same CLEAR and
// identity counts as its own report, and HOTA of points.
TEST(EvaluateTrackFileMetrics, FamiliesOnPoints) {
  const TempDir dir;
  const std::string truth = dir.File("truth.txt");
  const std::string hyp = dir.File("hyp.txt");
  // Two targets from frame 1; the hypotheses 0 and 3 pixels off, and one
  // far off in frame 2.
  WriteText(truth, "2 1\n10 10 50 50\n10 10 50 50\n");
  WriteText(hyp, "1,7,10,10\n1,8,50,53\n2,7,10,10\n2,8,50,50\n2,9,200,200\n");
  CliResult own = RunInProcess({"evaluate", truth, hyp, "--threshold", "5", "--csv"});
  EXPECT_EQ(own.out,
            "frames,gt,hypotheses,matches,fp,fn,idsw,frag,ignored,mota,motp,idtp,idfp,idfn,idp,idr,"
            "idf1,mt,pt,ml\n2,4,5,4,1,0,0,0,0,0.75,0.75,4,1,0,0.8,1,0.8888888888888888,2,0,0\n");
  const CliResult families = RunExpecting(
      0, {"evaluate", truth, hyp, "--threshold", "5", "--csv", "--metrics", "clear,identity"});
  EXPECT_EQ(families.out,
            "MOTA,MOTP,IDSW,Frag,MT,PT,ML,TP,FN,FP,IDF1,IDP,IDR,IDTP,IDFN,IDFP,frames\n"
            "0.75,0.75,0,0,2,0,0,4,0,1,0.8888888888888888,0.8,1,4,0,1,2\n");
  // HOTA with similarity 1 - d/5: three exact matches (1) and one of 0.4,
  // which counts up to alpha 0.4 (8 of 19 alphas).
  const CliResult hota =
      RunExpecting(0, {"evaluate", truth, hyp, "--threshold", "5", "--json", "--metrics", "hota"});
  // DetA: 4/5 for 8 alphas, 3/6 for 11; LocA: 3.4/4 and 1.
  EXPECT_NEAR(JsonValue(hota.out, "DetA"), (8 * 0.8 + 11 * 0.5) / 19, 1e-12);
  EXPECT_NEAR(JsonValue(hota.out, "LocA"), (8 * 3.4 / 4 + 11) / 19, 1e-12);
  EXPECT_NEAR(JsonValue(hota.out, "DetPr"), (8 * 0.8 + 11 * 0.6) / 19, 1e-12);
}

}  // namespace
