// Box overlap, the frame table for any frame numbers and the MOTChallenge
// protocol's choice of what is scored, on cases worked out by hand.

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "eval/BoxObjects.h"
#include "scoring/MotProtocol.h"

namespace {

BoxObject Box(double left, double top, double width, double height, int id = 0) {
  return {id, left, top, width, height};
}

TEST(BoxIou, HandWorkedOverlaps) {
  struct Case {
    const char* name;
    BoxObject a, b;
    double iou;
  };
  const std::vector<Case> cases = {
      {"the same box", Box(10, 20, 30, 40), Box(10, 20, 30, 40), 1.0},
      // 2 x 2 boxes one pixel apart: 2 shared of 6 covered.
      {"half shifted", Box(0, 0, 2, 2), Box(1, 0, 2, 2), 2.0 / 6.0},
      {"shifted both ways", Box(0, 0, 2, 2), Box(1, 1, 2, 2), 1.0 / 7.0},
      {"one inside the other", Box(0, 0, 4, 4), Box(1, 1, 2, 2), 4.0 / 16.0},
      // The far edge is left + width: boxes that meet there share nothing.
      {"edges touching", Box(0, 0, 2, 2), Box(2, 0, 2, 2), 0.0},
      {"apart", Box(0, 0, 2, 2), Box(50, 50, 2, 2), 0.0},
      {"zero width", Box(0, 0, 0, 5), Box(0, 0, 3, 5), 0.0},
      {"both empty", Box(1, 1, 0, 0), Box(1, 1, 0, 0), 0.0},
      {"negative corner", Box(-4, -4, 4, 4), Box(-2, -4, 4, 4), 8.0 / 24.0},
      // 1920 x 1080 pictures: a box shifted by one pixel keeps most of it.
      {"large box, one pixel", Box(800, 300, 100, 250), Box(801, 300, 100, 250),
       99.0 * 250 / (101.0 * 250)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(BoxIou(c.a, c.b), c.iou, 1e-15);
    EXPECT_NEAR(BoxIou(c.b, c.a), c.iou, 1e-15);
  }
}

TEST(BoxObjects, CentreIsTheMiddleOfTheBox) {
  const FrameObject c = BoxCentre(Box(10, 20, 5, 8, 7));
  EXPECT_EQ(c.id, 7);
  EXPECT_DOUBLE_EQ(c.x, 12.5);
  EXPECT_DOUBLE_EQ(c.y, 24.0);
}

TEST(FrameTable, KeepsAnyFrameNumbersInOrder) {
  const BoxFrames table(std::vector<BoxRow>{{INT_MAX, Box(0, 0, 1, 1, 3)},
                                            {-7, Box(0, 0, 1, 1, 9)},
                                            {1000000, Box(0, 0, 1, 1, 2)},
                                            {-7, Box(5, 0, 1, 1, 1)},
                                            {INT_MIN, Box(0, 0, 1, 1, 4)},
                                            {-7, Box(9, 9, 1, 1, 9)}});
  const std::vector<int> frames(table.Frames().begin(), table.Frames().end());
  EXPECT_EQ(frames, (std::vector<int>{INT_MIN, -7, 1000000, INT_MAX}));
  const auto atMinus7 = table.InFrame(-7);
  ASSERT_EQ(atMinus7.size(), 2u);  // the repeated id 9 is kept once, the first
  EXPECT_EQ(atMinus7[0].id, 1);
  EXPECT_EQ(atMinus7[1].id, 9);
  EXPECT_EQ(atMinus7[1].left, 0.0);
  EXPECT_TRUE(table.InFrame(0).empty());
  EXPECT_TRUE(table.At(4).empty());
  EXPECT_EQ(table.InFrame(INT_MAX).front().id, 3);
  EXPECT_EQ(table.All().size(), 5u);
}

TEST(FrameObjects, TrackFramesOrAny) {
  const std::vector<ObjectRow> rows = {{-1, {1, 0, 0}}, {0, {1, 0, 0}}, {600, {1, 0, 0}}};
  EXPECT_EQ(FrameObjects(rows).All().size(), 1u);
  const FrameObjects any(rows, FrameObjects::Frames::kAny);
  EXPECT_EQ(any.All().size(), 3u);
  EXPECT_EQ(any.InFrame(600).size(), 1u);
}

MotTruthRow Truth(int frame, int id, BoxObject box, int classId, double conf = 1.0,
                  std::size_t line = 0) {
  box.id = id;
  return {frame, box, conf, classId, line};
}

BoxRow Hyp(int frame, int id, BoxObject box) {
  box.id = id;
  return {frame, box};
}

std::vector<int> Ids(const std::vector<BoxRow>& rows) {
  std::vector<int> ids;
  for (const BoxRow& row : rows)
    ids.push_back(row.object.id);
  return ids;
}

// Boxes 4 wide and 1 high along a line: a shift of s leaves (4 - s) / (4 + s).
BoxObject At(double left) {
  return Box(left, 0, 4, 1);
}

TEST(MotProtocol, RemovesHypothesesMatchedToDistractors) {
  // Frame 1: a pedestrian at 0, a static person (7) at 100, a reflection
  // (12) at 200 and a car (3) at 300. Hypotheses on each: those on the
  // distractors go, the one on the car is kept (cars are no distractors)
  // and will be a false positive. One hypothesis shifted 2 off the static
  // person has IoU 1/3, too little to match it: kept.
  const std::vector<MotTruthRow> truth = {Truth(1, 1, At(0), 1), Truth(1, 2, At(100), 7),
                                          Truth(1, 3, At(200), 12), Truth(1, 4, At(300), 3),
                                          Truth(2, 2, At(100), 7)};
  const std::vector<BoxRow> hypotheses = {Hyp(1, 10, At(0)),   Hyp(1, 11, At(100)),
                                          Hyp(1, 12, At(201)), Hyp(1, 13, At(300)),
                                          Hyp(2, 14, At(102)), Hyp(3, 15, At(100))};
  ProtocolResult result;
  ASSERT_FALSE(ApplyMotProtocol(truth, hypotheses, result));
  // Hypothesis 12 is 1 off the reflection: IoU 3/5, removed. 15 stands
  // where the static person was, but in a frame without it.
  EXPECT_EQ(Ids(result.hypotheses), (std::vector<int>{10, 13, 14, 15}));
  EXPECT_EQ(result.removedHypotheses, 2);
  EXPECT_EQ(Ids(result.truth), (std::vector<int>{1}));
  EXPECT_EQ(result.unscoredTruth, 4);
}

TEST(MotProtocol, DistractorMatchIsTheFramesBestMatching) {
  // A person on a vehicle (2) at 0 and a pedestrian at 1. Hypothesis 20 at
  // 1 overlaps the pedestrian fully and the distractor by 3/5; hypothesis
  // 21 at 0.5 overlaps both by 7/9. The best total pairs 20 with the
  // pedestrian (1) and 21 with the distractor (7/9): 21 goes, although it
  // overlaps the pedestrian as well, and 20 stays though it reaches the
  // distractor too.
  const std::vector<MotTruthRow> truth = {Truth(5, 1, At(0), 2), Truth(5, 2, At(1), 1)};
  const std::vector<BoxRow> hypotheses = {Hyp(5, 20, At(1)), Hyp(5, 21, At(0.5))};
  ProtocolResult result;
  ASSERT_FALSE(ApplyMotProtocol(truth, hypotheses, result));
  EXPECT_EQ(Ids(result.hypotheses), (std::vector<int>{20}));
}

TEST(MotProtocol, MatchThresholdIsHalfInclusive) {
  // Boxes 3 wide, shifted 1: 2 shared of 4 covered, IoU exactly 0.5,
  // matched and removed. Shifted 1.01: just below, kept.
  const std::vector<MotTruthRow> truth = {Truth(1, 1, Box(0, 0, 3, 1), 8),
                                          Truth(2, 1, Box(0, 0, 3, 1), 8)};
  const std::vector<BoxRow> hypotheses = {Hyp(1, 5, Box(1, 0, 3, 1)),
                                          Hyp(2, 5, Box(1.01, 0, 3, 1))};
  ProtocolResult result;
  ASSERT_FALSE(ApplyMotProtocol(truth, hypotheses, result));
  ASSERT_EQ(result.hypotheses.size(), 1u);
  EXPECT_EQ(result.hypotheses[0].frame, 2);
}

TEST(MotProtocol, ConfidenceZeroTruthIsNotScoredButStillRemoves) {
  // A pedestrian with conf 0 is left out of the scoring; a hypothesis on it
  // is not removed (it is no distractor) and becomes a false positive. A
  // distractor with conf 0 still removes its hypothesis. The confidence is
  // read as a whole number: 0.6 counts as 0, -1 and 3 as not 0.
  const std::vector<MotTruthRow> truth = {Truth(1, 1, At(0), 1, 0.0), Truth(1, 2, At(100), 8, 0.0),
                                          Truth(1, 3, At(200), 1, 0.6), Truth(1, 4, At(300), 1, -1),
                                          Truth(1, 5, At(400), 1, 3.0)};
  const std::vector<BoxRow> hypotheses = {Hyp(1, 10, At(0)), Hyp(1, 11, At(100))};
  ProtocolResult result;
  ASSERT_FALSE(ApplyMotProtocol(truth, hypotheses, result));
  EXPECT_EQ(Ids(result.hypotheses), (std::vector<int>{10}));
  EXPECT_EQ(Ids(result.truth), (std::vector<int>{4, 5}));
  EXPECT_EQ(result.unscoredTruth, 3);
}

TEST(MotProtocol, RefusesClassesOutsideTheBenchmarks) {
  ProtocolResult result;
  for (const int bad : {0, 14, -1}) {
    const std::vector<MotTruthRow> truth = {
        Truth(1, 1, At(0), 1, 1, 3), Truth(2, 1, At(0), bad, 1, 4), Truth(3, 1, At(0), 99, 1, 5)};
    const auto problem = ApplyMotProtocol(truth, {}, result);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->line, 4u);
    EXPECT_NE(problem->what.find(std::to_string(bad)), std::string::npos);
  }
  // Every class of the benchmark is taken.
  std::vector<MotTruthRow> all;
  for (int c = 1; c <= 13; ++c)
    all.push_back(Truth(c, 1, At(0), c));
  EXPECT_FALSE(ApplyMotProtocol(all, {}, result));
  EXPECT_EQ(result.truth.size(), 1u);
}

TEST(MotProtocol, NoProtocolKeepsEveryRow) {
  const std::vector<MotTruthRow> truth = {Truth(1, 1, At(0), 7, 0.0), Truth(1, 2, At(9), 99)};
  const std::vector<BoxRow> rows = AllTruthBoxes(truth);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1].object.id, 2);
  EXPECT_EQ(rows[1].object.left, 9.0);
}

}  // namespace
