// korvane-cli render --hypotheses: a tracker's output painted over the frames
// of the sample series, its misses and false positives marked in the frames
// where evaluate finds them, and bad input refused before anything is
// written.

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "CliTestSupport.h"
#include "image/SeriesFrames.h"

using namespace cli_test;

namespace {

using Rgb = std::array<std::uint8_t, 3>;
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kCyan{0, 255, 255};
constexpr Rgb kMagenta{255, 0, 255};
constexpr Rgb kYellow{255, 255, 0};

struct Position {
  int x, y;
};

// Where the sample's targets 0, 1 and 2 stand in frames 20 to 29 (all there).
std::array<Position, 3> Targets(int frame) {
  return {Position{20 + 4 * frame, 60 + frame}, Position{300 - 3 * (frame - 15), 215 - frame},
          Position{40 + 2 * frame, 220 - 2 * frame}};
}

// A tracker that follows the three targets exactly in frames 20 to 29 as ids
// 10, 11 and 12, but loses target 1 in frame 25, and sees a target that is
// not there in frame 27.
std::vector<Point> Tracker() {
  std::vector<Point> rows;
  for (int frame = 20; frame <= 29; ++frame) {
    const auto targets = Targets(frame);
    for (int t = 0; t < 3; ++t) {
      if (frame != 25 || t != 1)
        rows.push_back({frame, 10 + t, targets[t].x, targets[t].y});
    }
  }
  rows.push_back({27, 99, 160, 40});
  return rows;
}

class RenderHypotheses : public SampleSeriesTest {
 protected:
  void SetUp() override {
    SampleSeriesTest::SetUp();
    WriteText(m_input.File("hyp.txt"), PointsText(Tracker()));
  }
  CliResult Render(const std::string& outRoot, const Args& options) {
    return RunInProcess(Joined(
        {"render", Root(), "24", "27", outRoot, "--tracks", Tracks(), "--markers"}, options));
  }
  Frame Output(const std::string& outRoot, int frame) const {
    return ReadFrame(series::FrameFileName(outRoot, frame));
  }

  TempDir m_input;
};

// Each hypothesis is framed in cyan around the red marker it sits on; target
// 1, lost in frame 25, is ringed in magenta there and only there; the
// target that is not there, in frame 27, in yellow.
TEST_F(RenderHypotheses, HypothesesMissesAndFalsePositivesAreMarkedInTheirFrames) {
  const std::string points = m_dir.File("points");
  const CliResult result =
      Render(points, {"--hypotheses", m_input.File("hyp.txt"), "--threshold", "2"});
  ASSERT_EQ(result.status, 0) << result.err;
  for (int frame = 24; frame <= 27; ++frame) {
    SCOPED_TRACE(frame);
    const Frame shown = Output(points, frame);
    const auto targets = Targets(frame);
    EXPECT_EQ(shown.Rgb(targets[0].x, targets[0].y), kRed);
    EXPECT_EQ(shown.Rgb(targets[0].x - 1, targets[0].y), kCyan);
    EXPECT_EQ(shown.Rgb(targets[2].x + 11, targets[2].y - 11), kCyan);
    const bool lost = frame == 25;
    EXPECT_EQ(shown.Rgb(targets[1].x - 1, targets[1].y) == kCyan, !lost);
    EXPECT_EQ(shown.Rgb(targets[1].x - 3, targets[1].y) == kMagenta, lost);
    EXPECT_EQ(shown.Rgb(targets[1].x + 12, targets[1].y + 4) == kMagenta, lost);
    const bool ghost = frame == 27;
    EXPECT_EQ(shown.Rgb(159, 40) == kCyan, ghost);
    EXPECT_EQ(shown.Rgb(157, 40) == kYellow, ghost);
  }

  // Without --threshold the hypotheses alone are painted.
  const std::string plain = m_dir.File("plain");
  ASSERT_EQ(Render(plain, {"--hypotheses", m_input.File("hyp.txt")}).status, 0);
  for (int frame = 24; frame <= 27; ++frame) {
    const auto targets = Targets(frame);
    EXPECT_NE(Output(plain, frame).Rgb(targets[1].x - 3, targets[1].y), kMagenta);
    EXPECT_NE(Output(plain, frame).Rgb(157, 40), kYellow);
  }
  EXPECT_EQ(Output(plain, 27).Rgb(159, 40), kCyan);
}

// A bad line, a bad geometry file or a missing file fails naming it before
// any frame is written; options that make no sense are usage errors.
TEST_F(RenderHypotheses, BadInputIsRefusedBeforeAnythingIsWritten) {
  WriteText(m_input.File("bad.txt"), "24,1,10,10\n24,2,10\n");
  WriteText(m_input.File("bad.geometry"), "source 1920 1080\nscale 1\n");
  const std::string out = m_dir.File("out");
  struct Case {
    std::vector<std::string> options;
    int status;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"--hypotheses", m_input.File("bad.txt")}, 1, m_input.File("bad.txt") + ":2: expected"},
      {{"--hypotheses", m_input.File("hyp.txt"), "--hyp-format", "mot", "--geometry",
        m_input.File("bad.geometry")},
       1,
       m_input.File("bad.geometry") + ":2: "},
      {{"--hypotheses", m_input.File("none.txt")}, 1, m_input.File("none.txt")},
      {{"--threshold", "2"}, 2, "go with --hypotheses HYP"},
      {{"--geometry", m_input.File("bad.geometry")}, 2, "go with --hypotheses HYP"},
      {{"--hypotheses", m_input.File("hyp.txt"), "--geometry", m_input.File("bad.geometry")},
       2,
       "--geometry goes with --hyp-format mot"},
      {{"--hypotheses", m_input.File("hyp.txt"), "--threshold", "-1"}, 2, "--threshold must"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const CliResult result = Render(out, c.options);
    EXPECT_EQ(result.status, c.status);
    EXPECT_THAT(result.err, HasSubstr(c.message));
    EXPECT_EQ(FilesIn(m_dir.Path()), std::vector<std::string>{});
  }
}

}  // namespace
