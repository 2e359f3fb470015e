// The progress of a long command: lines at every tenth, a bar redrawn in
// place at most ten times a second.

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "base/Progress.h"

namespace {

TEST(Progress, LinesComeAtEveryTenthWithSpeedAndTimeLeft) {
  EXPECT_EQ(base::ProgressText(0, 10, 0.0), "0/10 frames, -- frames/s, -- left");
  EXPECT_EQ(base::ProgressText(250, 1000, 2.0), "250/1000 frames, 125.0 frames/s, 0:06 left");
  EXPECT_EQ(base::ProgressText(1, 10000, 1.0), "1/10000 frames, 1.0 frames/s, 2:46:39 left");
  std::ostringstream lines;
  double now = 0.0;
  base::Progress progress(lines, base::ProgressStyle::Lines, "import", 20, [&] { return now; });
  for (int done = 1; done <= 20; ++done) {
    now = done * 0.5;
    progress.Update(done);
  }
  progress.Finish();
  const std::string text = lines.str();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 10);
  EXPECT_TRUE(text.starts_with("import: 2/20 frames, 2.0 frames/s, 0:09 left\n"));
  EXPECT_TRUE(text.ends_with("import: 20/20 frames, 2.0 frames/s, 0:00 left\n"));
  // The bar redraws in place at most ten times a second, and at the end.
  std::ostringstream bar;
  now = 0.0;
  base::Progress drawn(bar, base::ProgressStyle::Bar, "import", 100, [&] { return now; });
  for (int done = 1; done <= 100; ++done) {
    now = done / 64.0;
    drawn.Update(done);
  }
  drawn.Finish();
  const std::string barText = bar.str();
  EXPECT_EQ(std::count(barText.begin(), barText.end(), '\r'), 16);
  EXPECT_NE(barText.find("[##############################] 100/100 frames"), std::string::npos);
  EXPECT_TRUE(barText.ends_with("\n"));
}

// Work longer than its first total (a video longer than its container
// said): the total is raised on the way, and a count past the total still
// draws a whole bar rather than failing.
TEST(Progress, ATotalLearntOnTheWayIsRaised) {
  std::ostringstream lines;
  double now = 0.0;
  base::Progress progress(lines, base::ProgressStyle::Lines, "import", 10, [&] { return now; });
  for (int done = 1; done <= 15; ++done) {
    now = done * 0.5;
    if (done > progress.Total())
      progress.SetTotal(done + 4);
    progress.Update(done);
  }
  EXPECT_EQ(progress.Total(), 15);
  EXPECT_TRUE(lines.str().ends_with("import: 15/15 frames, 2.0 frames/s, 0:00 left\n"))
      << lines.str();
  std::ostringstream bar;
  base::Progress over(bar, base::ProgressStyle::Bar, "import", 4, [] { return 1.0; });
  over.Update(9);
  EXPECT_NE(bar.str().find("[##############################] 9/4 frames"), std::string::npos)
      << bar.str();
}

}  // namespace
