// korvane-cli sample: the series it records through the console's recorder,
// read back frame by frame, against the track file written beside it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "CliTestSupport.h"
#include "support/TempDir.h"
#include "tools/CliFiles.h"
#include "tools/SyntheticScene.h"
#include "tracks/TrackSet.h"

using namespace cli_test;

namespace {

bool Bright(const Frame& frame, int x, int y) {
  if (x < 0 || y < 0 || x >= frame.width || y >= frame.height)
    return false;
  const auto rgb = frame.Rgb(x, y);
  return *std::min_element(rgb.begin(), rgb.end()) >= kSceneTargetMin;
}

std::array<std::uint8_t, 3> ColourOf(int target) {
  const SceneColour c = SceneTargetColour(target);
  return {c.red, c.green, c.blue};
}

class SampleCommand : public ::testing::Test {
 protected:
  std::string Root() const { return m_dir.File("take9"); }
  TempDir m_dir;
};

// Each frame holds, for every target with a position in the track file, a
// bright 6 × 6 blob of the target's colour whose bottom-left pixel is that
// position, and nothing else bright.
TEST_F(SampleCommand, TargetsAreFoundWhereTheTrackFileSays) {
  const CliResult result = RunInProcess({"sample", m_dir.Path().string()});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  // The track file as plain integers: count 4, first frame 0, then an x y row
  // per target per frame.
  std::ifstream in(m_dir.File("truetracks.txt"));
  const std::vector<int> numbers{std::istream_iterator<int>(in), std::istream_iterator<int>()};
  ASSERT_EQ(numbers.size(), 2u + 61 * 4 * 2);
  EXPECT_EQ(numbers[0], 4);
  EXPECT_EQ(numbers[1], 0);
  int hidden = 0;
  int disabled = 0;
  for (int f = 0; f < 61; ++f) {
    SCOPED_TRACE("frame " + std::to_string(f));
    const Frame frame = ReadFrame(cli::FrameFileName(Root(), f));
    ASSERT_EQ(frame.width, 320);
    ASSERT_EQ(frame.height, 240);
    int brightExpected = 0;
    for (int t = 0; t < 4; ++t) {
      const int x = numbers[2 + (f * 4 + t) * 2];
      const int y = numbers[3 + (f * 4 + t) * 2];
      if (x > 999 || y > 999) {
        ++disabled;
      } else if (x == 0 && y == 0) {
        ++hidden;
      } else {
        brightExpected += 36;
        EXPECT_EQ(frame.Rgb(x, y), ColourOf(t));
        for (int i = 0; i < 36; ++i)
          EXPECT_TRUE(Bright(frame, x + i % 6, y - i / 6)) << "target " << t;
      }
    }
    int bright = 0;
    for (int i = 0; i < 320 * 240; ++i)
      bright += Bright(frame, i % 320, i / 320);
    EXPECT_EQ(bright, brightExpected);
  }
  // Target 1 is absent until frame 15, target 2 for frames 30 to 39, and
  // target 3 is out of the picture from frame 20 on.
  EXPECT_EQ(hidden, 15 + 10);
  EXPECT_EQ(disabled, 61 - 20);
  EXPECT_FALSE(std::filesystem::exists(m_dir.File("take9_0061.bmp")));

  // The loader reads the file as the scene intends. A position at frame 0
  // cannot start a trail, so targets seen from frame 0 start at frame 1.
  CTrackSet tracks;
  ASSERT_TRUE(tracks.LoadTrueTracksFrom(m_dir.File("truetracks.txt").c_str()));
  ASSERT_EQ(tracks.m_count, 4);
  EXPECT_EQ(tracks.m_tracks[0].m_firstFrame, 1);
  EXPECT_EQ(tracks.m_tracks[0].m_endFrame, 61);
  EXPECT_EQ(tracks.m_tracks[1].m_firstFrame, 15);
  EXPECT_EQ(tracks.m_tracks[2].m_endFrame, 30);
  EXPECT_EQ(tracks.m_tracks[3].m_enabled, 0);
}

TEST_F(SampleCommand, TheProgramPrintsTheRecordersProgressAndASummary) {
  const CliResult result = RunProgram({"sample", m_dir.Path().string()});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(result.out.starts_with("Frame 20\nFrame 40\nFrame 60\nsample: wrote ")) << result.out;
  EXPECT_NE(result.out.find(Root() + "_0060.bmp"), std::string::npos);
  // The same series as in-process: every run starts from the program's
  // start-up state.
  const std::string first = ReadText(Root() + "_0033.bmp");
  ASSERT_EQ(RunInProcess({"sample", m_dir.Path().string()}).status, 0);
  ASSERT_EQ(RunInProcess({"sample", m_dir.Path().string()}).status, 0);
  EXPECT_EQ(ReadText(Root() + "_0033.bmp"), first);
  EXPECT_EQ(first.size(), 230454u);
}

TEST_F(SampleCommand, AFrameThatCannotBeWrittenLeavesNothingBehind) {
  std::filesystem::create_directory(Root() + "_0005.bmp");
  const CliResult result = RunProgram({"sample", m_dir.Path().string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find("take9_0005.bmp: could not be written"), std::string::npos)
      << result.err;
  EXPECT_EQ(FilesIn(m_dir.Path()), std::vector<std::string>{"take9_0005.bmp"});
}

}  // namespace
