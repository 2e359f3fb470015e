// Reading a tracker's output: the layouts it accepts and the line it names
// when it refuses one.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "eval/HypothesisReader.h"

namespace {

struct Row {
  int frame, id;
  double x, y;
  bool operator==(const Row&) const = default;
};

std::vector<Row> Rows(const std::vector<ObjectRow>& rows) {
  std::vector<Row> result;
  for (const ObjectRow& r : rows)
    result.push_back({r.frame, r.object.id, r.object.x, r.object.y});
  return result;
}

TEST(ReadHypotheses, ReadsEveryLayout) {
  struct Case {
    HypothesisFormat format;
    std::string text;
    std::vector<Row> rows;
  };
  using enum HypothesisFormat;
  const std::vector<Case> cases = {
      {kPoints, "", {}},
      {kPoints, "# frame id x y\n\n   \n", {}},
      {kPoints, "0,1,2,3\n499,-4,5.5,-6e2\n", {{0, 1, 2, 3}, {499, -4, 5.5, -600}}},
      {kPoints, "3 7 10 20 0.9 extra\n", {{3, 7, 10, 20}}},
      {kPoints, " 3 , 7 ,10,20,,\r\n", {{3, 7, 10, 20}}},
      {kPoints, "3\t7\t10\t20  # seen\n4 7 1 2", {{3, 7, 10, 20}, {4, 7, 1, 2}}},
      {kPoints, "2.0,7.000,1,2\n", {{2, 7, 1, 2}}},
      // One id in two frames, two ids in one frame.
      {kPoints, "1,5,0,0\n2,5,0,0\n2,6,0,0\n", {{1, 5, 0, 0}, {2, 5, 0, 0}, {2, 6, 0, 0}}},
      // MOTChallenge: frames as they stand, the box's centre.
      {kMot, "1,3,10,20,4,6,0.8,-1,-1,-1\n", {{1, 3, 12, 23}}},
      {kMot, "499 3 0 0 0 0\n", {{499, 3, 0, 0}}},
  };
  for (const Case& c : cases) {
    std::vector<ObjectRow> rows;
    const auto problem = ReadHypotheses(c.text, c.format, rows);
    EXPECT_FALSE(problem) << c.text << ": line " << problem->line << ": " << problem->what;
    EXPECT_EQ(Rows(rows), c.rows) << c.text;
  }
}

TEST(ReadHypotheses, NamesTheLineItRefuses) {
  struct Case {
    HypothesisFormat format;
    std::string text;
    std::size_t line;
    std::string what;
  };
  using enum HypothesisFormat;
  const std::vector<Case> cases = {
      {kPoints, "0,1,2\n", 1, "expected 'frame,id,x,y'"},
      {kPoints, "0,1,,3\n", 1, "expected 'frame,id,x,y'"},
      {kPoints, "# c\n0 1 2 3\n0 2 x 3\n", 3, "'x' is not a number of at most 1e9 in magnitude"},
      {kPoints, "500,1,2,3\n", 1, "frame '500' is not a whole number from 0 to 499"},
      {kPoints, "-1,1,2,3\n", 1, "frame '-1' is not a whole number from 0 to 499"},
      {kPoints, "1.5,1,2,3\n", 1, "frame '1.5' is not a whole number from 0 to 499"},
      {kPoints, "1,3000000000,2,3\n", 1, "id '3000000000' is not a whole number"},
      {kPoints, "1,1,nan,3\n", 1, "'nan' is not a number of at most 1e9 in magnitude"},
      {kPoints, "1,1,2,1e10\n", 1, "'1e10' is not a number of at most 1e9 in magnitude"},
      {kPoints, "1,1,2,3\n\n1,2,5,5\n1,1,9,9\n", 4,
       "id 1 is given twice in one frame (first on line 1)"},
      {kMot, "500,1,2,3,4,5\n", 1, "frame '500' is not a whole number from 0 to 499"},
      {kMot, "1,1,2,3,4\n", 1,
       "a row needs at least 6 fields (frame,id,left,top,width,height), this one has 5"},
      {kMot, "1,1,2,3,-4,5\n", 1, "the box has a negative size"},
  };
  for (const Case& c : cases) {
    std::vector<ObjectRow> rows;
    const auto problem = ReadHypotheses(c.text, c.format, rows);
    ASSERT_TRUE(problem) << c.text;
    EXPECT_EQ(problem->line, c.line) << c.text;
    EXPECT_EQ(problem->what, c.what) << c.text;
  }
}

TEST(ReadHypotheses, RefusesAnOverfullFrame) {
  std::string text;
  for (int id = 0; id <= kMaxHypothesesPerFrame; ++id)
    text += "7 " + std::to_string(id) + " 1 1\n";
  std::vector<ObjectRow> rows;
  const auto problem = ReadHypotheses(text, HypothesisFormat::kPoints, rows);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->line, static_cast<std::size_t>(kMaxHypothesesPerFrame) + 1);
}

// With a placement, MOTChallenge frame numbers and centres are the
// placement's to map: frames past 500 are taken, rows placed outside the
// frames are left out and counted, and a repeated id is judged on the frame
// placed.
TEST(ReadHypotheses, PlacedRowsTakeThePlacementsFramesAndPositions) {
  // Source picture n is frame n - 1000; positions are halved.
  const MotPlacement place = [](int frame, double x, double y) {
    return PlacedObject{frame - 1000, x / 2, y / 2};
  };
  struct Case {
    std::string text;
    std::vector<Row> rows;
    int outside;
    std::size_t problemLine;  // 0: none
  };
  const std::vector<Case> cases = {
      {"1000,3,10,20,4,6\n1499,4,0,0,2,2\n", {{0, 3, 6, 11.5}, {499, 4, 0.5, 0.5}}, 0, 0},
      {"999,3,10,20,4,6\n1500,3,1,1,1,1\n1,3,1,1,1,1\n", {}, 3, 0},
      {"1001,3,1,1,1,1\n1001,3,2,2,2,2\n", {}, 0, 2},
      {"1001.5,3,1,1,1,1\n", {}, 0, 1},
  };
  for (const Case& c : cases) {
    std::vector<ObjectRow> rows;
    int outside = -1;
    const auto problem = ReadPlacedMotHypotheses(c.text, place, rows, outside);
    EXPECT_EQ(problem ? problem->line : 0, c.problemLine) << c.text;
    if (c.problemLine == 0) {
      EXPECT_EQ(Rows(rows), c.rows) << c.text;
      EXPECT_EQ(outside, c.outside) << c.text;
    }
  }
}

}  // namespace
