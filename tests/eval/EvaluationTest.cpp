// The metrics on small sequences worked out by hand. Objects are written as
// "frame id x y" rows, one object per line.

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "eval/Evaluation.h"
#include "eval/HypothesisReader.h"

namespace {

FrameObjects Objects(const std::string& rows) {
  std::vector<ObjectRow> read;
  const auto problem = ReadHypotheses(rows, HypothesisFormat::kPoints, read);
  EXPECT_FALSE(problem) << rows;
  return FrameObjects(std::move(read));
}

// What a case must give; every count is checked.
struct Expected {
  int frames, gt, hypotheses, matches, fp, fn, idsw, frag, ignored;
  long long idtp, idfp, idfn;
  int mt, pt, ml;
  std::optional<double> mota, motp, idp, idr, idf1;
};

void ExpectRatio(std::optional<double> got, std::optional<double> want, const char* name) {
  ASSERT_EQ(got.has_value(), want.has_value()) << name;
  if (want) {
    EXPECT_NEAR(*got, *want, 1e-12) << name;
  }
}

void ExpectTotals(const EvaluationTotals& t, const Expected& e) {
  const std::vector<long long> got = {t.frames, t.gt,   t.hypotheses, t.matches, t.fp,
                                      t.fn,     t.idsw, t.frag,       t.ignored, t.idtp,
                                      t.idfp,   t.idfn, t.mt,         t.pt,      t.ml};
  const std::vector<long long> want = {e.frames, e.gt,   e.hypotheses, e.matches, e.fp,
                                       e.fn,     e.idsw, e.frag,       e.ignored, e.idtp,
                                       e.idfp,   e.idfn, e.mt,         e.pt,      e.ml};
  EXPECT_EQ(got, want) << "frames gt hypotheses matches fp fn idsw frag ignored idtp idfp idfn "
                          "mt pt ml";
  ExpectRatio(Mota(t), e.mota, "mota");
  ExpectRatio(Motp(t), e.motp, "motp");
  ExpectRatio(Idp(t), e.idp, "idp");
  ExpectRatio(Idr(t), e.idr, "idr");
  ExpectRatio(Idf1(t), e.idf1, "idf1");
}

// Hypotheses at (200, 200) stand near a target left out of the truth.
bool NearLeftOut(const FrameObject& h, int) {
  return std::abs(h.x - 200) < 10 && std::abs(h.y - 200) < 10;
}

struct Case {
  const char* name;
  std::string truth;
  std::string hypotheses;
  double threshold;
  Expected expected;
};

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"perfect tracker",
       "0 0 10 10\n0 1 50 50\n1 0 11 10\n1 1 51 50\n2 0 12 10\n2 1 52 50\n",
       "0 7 10 10\n0 8 50 50\n1 7 11 10\n1 8 51 50\n2 7 12 10\n2 8 52 50\n",
       5,
       {3, 6, 6, 6, 0, 0, 0, 0, 0, 6, 0, 0, 2, 0, 0, 1.0, 0.0, 1.0, 1.0, 1.0}},
      // Every hypothesis (3, 4) off: 5 pixels, below the threshold.
      {"constant offset",
       "0 0 10 10\n1 0 20 10\n2 0 30 10\n",
       "0 4 13 14\n1 4 23 14\n2 4 33 14\n",
       8,
       {3, 3, 3, 3, 0, 0, 0, 0, 0, 3, 0, 0, 1, 0, 0, 1.0, 5.0, 1.0, 1.0, 1.0}},
      // The distance equal to the threshold still matches.
      {"at the threshold", "0 0 10 10\n", "0 4 13 14\n", 5, {1, 1,   1,   1,   0,   0,  0,
                                                             0, 0,   1,   0,   0,   1,  0,
                                                             0, 1.0, 5.0, 1.0, 1.0, 1.0}},
      // Ids 1 then 2 on one target: one switch; the identity pairing keeps
      // one id for 2 of 4 frames.
      {"identity switch",
       "0 0 10 10\n1 0 10 10\n2 0 10 10\n3 0 10 10\n",
       "0 1 10 10\n1 1 10 10\n2 2 10 10\n3 2 10 10\n",
       5,
       {4, 4, 4, 4, 0, 0, 1, 0, 0, 2, 2, 2, 1, 0, 0, 0.75, 0.0, 0.5, 0.5, 0.5}},
      // Two targets cross at frame 2, where all four objects coincide; the
      // hypotheses then follow the wrong targets: both switch at frame 3.
      {"crossing targets swap",
       "0 0 10 50\n0 1 50 50\n1 0 20 50\n1 1 40 50\n2 0 30 50\n2 1 30 50\n"
       "3 0 40 50\n3 1 20 50\n4 0 50 50\n4 1 10 50\n",
       "0 1 10 50\n0 2 50 50\n1 1 20 50\n1 2 40 50\n2 1 30 50\n2 2 30 50\n"
       "3 1 20 50\n3 2 40 50\n4 1 10 50\n4 2 50 50\n",
       5,
       {5, 10, 10, 10, 0, 0, 2, 0, 0, 6, 4, 4, 2, 0, 0, 0.8, 0.0, 0.6, 0.6, 0.6}},
      // Missed at frames 2 and 5: a fragmentation at the return in frame 3,
      // none for the miss at the end. 4 of 6 frames: partly tracked.
      {"fragmentation",
       "0 0 10 10\n1 0 10 10\n2 0 10 10\n3 0 10 10\n4 0 10 10\n5 0 10 10\n",
       "0 1 10 10\n1 1 10 10\n3 1 10 10\n4 1 10 10\n",
       5,
       {6, 6, 4, 4, 0, 2, 0, 1, 0, 4, 0, 2, 0, 1, 0, 2.0 / 3, 0.0, 1.0, 2.0 / 3, 0.8}},
      // Id 1 drifts 0, 3, 6, 12, 20 pixels away; id 2 appears at frame 2,
      // 1 pixel off. The target keeps id 1 at frame 2 although id 2 is
      // nearer, and switches to id 2 once id 1 is out of reach.
      {"drift and take-over",
       "0 0 100 100\n1 0 100 100\n2 0 100 100\n3 0 100 100\n4 0 100 100\n",
       "0 1 100 100\n1 1 103 100\n2 1 106 100\n3 1 112 100\n4 1 120 100\n"
       "2 2 101 100\n3 2 101 100\n4 2 101 100\n",
       10,
       {5, 5, 8, 5, 3, 0, 1, 0, 0, 3, 5, 2, 1, 0, 0, 0.2, 2.2, 3.0 / 8, 0.6, 6.0 / 13}},
      // Id 9 stands near a left-out target in both frames: ignored, and left
      // out of the identity counts too, although in frame 1 it is within
      // reach of the target. Id 8 is a false positive. In frame 1 the
      // tracked target itself stands there: its hypothesis is a match.
      {"false positive near a left-out target",
       "0 0 10 10\n1 0 198 200\n",
       "0 1 10 10\n0 8 100 100\n0 9 200 200\n1 1 198 201\n1 8 100 100\n1 9 202 200\n",
       5,
       {2, 2, 6, 2, 2, 0, 0, 0, 2, 2, 2, 0, 1, 0, 0, 0.0, 0.5, 0.5, 1.0, 2.0 / 3}},
      // Id 9 is always within reach of the target but never matched, as the
      // target takes a nearer id each frame: the identity pairing must not
      // give the target id 9 for its 3 frames.
      {"ignored hypotheses have no identity",
       "0 0 200 200\n1 0 200 200\n2 0 200 200\n",
       "0 1 200 200\n0 9 203 200\n1 2 200 200\n1 9 203 200\n2 3 200 200\n2 9 203 200\n",
       5,
       {3, 3, 6, 3, 0, 0, 2, 0, 3, 1, 2, 2, 1, 0, 0, 1.0 / 3, 0.0, 1.0 / 3, 1.0 / 3, 1.0 / 3}},
      {"empty truth", "", "0 1 10 10\n0 2 20 20\n3 1 10 10\n", 5, {2, 0,  3,  0,   3,  0,  0,
                                                                   0, 0,  0,  3,   0,  0,  0,
                                                                   0, {}, {}, 0.0, {}, 0.0}},
      {"empty hypotheses", "0 0 10 10\n1 0 10 10\n1 1 30 30\n", "", 5, {2, 3,   0,  0,  0,   3,  0,
                                                                        0, 0,   0,  0,  3,   0,  0,
                                                                        2, 0.0, {}, {}, 0.0, 0.0}},
      {"nothing at all", "", "", 5, {0, 0, 0, 0, 0, 0,  0,  0,  0,  0,
                                     0, 0, 0, 0, 0, {}, {}, {}, {}, {}}},
      // Every pair sqrt(50) apart: any pairing is best; whichever is taken,
      // the next frame keeps it, so no switch and no false positive. The
      // third hypothesis, as far from both, is left over.
      {"ties",
       "0 0 10 10\n0 1 20 10\n1 0 10 10\n1 1 20 10\n",
       "0 5 15 5\n0 6 15 15\n1 5 15 5\n1 6 15 15\n1 7 15 15.0000001\n",
       10,
       {2, 4, 5, 4, 1, 0, 0, 0, 0, 4, 1, 0, 2, 0, 0, 0.75, std::sqrt(50.0), 0.8, 1.0, 8.0 / 9}},
  };
  return cases;
}

const Case& Named(std::string_view name) {
  for (const Case& c : Cases()) {
    if (c.name == name)
      return c;
  }
  ADD_FAILURE() << "no case " << name;
  return Cases().front();
}

TEST(Evaluate, HandWorkedCases) {
  for (const Case& c : Cases()) {
    SCOPED_TRACE(c.name);
    EvaluationSettings settings;
    settings.threshold = c.threshold;
    const Evaluation e = Evaluate(Objects(c.truth), Objects(c.hypotheses), settings, &NearLeftOut);
    ExpectTotals(e.totals, c.expected);
  }
}

TEST(Evaluate, PerTargetCountsAndIdentityPairs) {
  const Case& swap = Named("crossing targets swap");
  EvaluationSettings settings;
  settings.threshold = swap.threshold;
  const Evaluation e = Evaluate(Objects(swap.truth), Objects(swap.hypotheses), settings, {});
  ASSERT_EQ(e.targets.size(), 2u);
  EXPECT_EQ(e.targets[0].id, 0);
  EXPECT_EQ(e.targets[0].present, 5);
  EXPECT_EQ(e.targets[0].matches, 5);
  // Both pairings give 6 frames; the pairing is one-to-one either way.
  ASSERT_TRUE(e.targets[0].hypothesis && e.targets[1].hypothesis);
  EXPECT_NE(*e.targets[0].hypothesis, *e.targets[1].hypothesis);

  const Case& empty = Named("empty hypotheses");
  settings.threshold = empty.threshold;
  const Evaluation lost = Evaluate(Objects(empty.truth), Objects(empty.hypotheses), settings, {});
  ASSERT_EQ(lost.targets.size(), 2u);
  EXPECT_FALSE(lost.targets[0].hypothesis);
  EXPECT_EQ(lost.targets[1].present, 1);
}

// A range scores only its frames; with every frame counted, empty frames
// count as frames and nothing else.
TEST(Evaluate, FrameRange) {
  const Case& fragments = Named("fragmentation");
  EvaluationSettings settings;
  settings.threshold = fragments.threshold;
  settings.first = 2;
  settings.last = 9;
  settings.frameCount = EvaluationSettings::FrameCount::kEvery;
  const Evaluation e =
      Evaluate(Objects(fragments.truth), Objects(fragments.hypotheses), settings, {});
  // Frames 2..5: missed, matched, matched, missed; no fragmentation, as the
  // target was never matched before the first miss in range.
  ExpectTotals(e.totals,
               {8, 4, 2, 2, 0, 2, 0, 0, 0, 2, 0, 2, 0, 1, 0, 0.5, 0.0, 1.0, 0.5, 2.0 / 3});
}

}  // namespace
