// korvane-cli sample: the series it records through the console's recorder,
// read back frame by frame, against the track file written beside it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <tuple>

#include "CliTestSupport.h"
#include "support/TempDir.h"
#include "tools/SyntheticScene.h"
#include "tracks/TrackSet.h"

using namespace cli_test;

namespace {

struct Blob {
  int x;
  int y;
  std::array<std::uint8_t, 3> rgb;
  auto operator<=>(const Blob&) const = default;
};

bool Bright(const Frame& frame, int x, int y) {
  if (x < 0 || y < 0 || x >= frame.width || y >= frame.height)
    return false;
  const auto rgb = frame.Rgb(x, y);
  return *std::min_element(rgb.begin(), rgb.end()) >= kSceneTargetMin;
}

// The bright 6 × 6 blobs of a frame, each named by its bottom-left pixel, as
// a tracker looking for the sample's targets would find them. Fails the test
// when a bright area is not such a blob.
std::set<Blob> FindBlobs(const Frame& frame) {
  std::set<Blob> blobs;
  int brightPixels = 0;
  for (int y = 0; y < frame.height; ++y) {
    for (int x = 0; x < frame.width; ++x) {
      if (!Bright(frame, x, y))
        continue;
      ++brightPixels;
      if (Bright(frame, x - 1, y) || Bright(frame, x, y + 1))
        continue;
      for (int dy = 0; dy < 6; ++dy) {
        for (int dx = 0; dx < 6; ++dx)
          EXPECT_TRUE(Bright(frame, x + dx, y - dy)) << "blob at " << x << "," << y;
      }
      blobs.insert({x, y, frame.Rgb(x, y)});
    }
  }
  EXPECT_EQ(brightPixels, 36 * static_cast<int>(blobs.size()));
  return blobs;
}

// The rows of a track file, read as plain integers: rows[frame][target].
std::vector<std::vector<std::pair<int, int>>> TrackRows(const std::string& path, int& count) {
  std::ifstream in(path);
  int first = -1;
  in >> count >> first;
  EXPECT_EQ(first, 0);
  std::vector<std::vector<std::pair<int, int>>> rows;
  int x = 0;
  int y = 0;
  while (in >> x >> y) {
    if (rows.empty() || static_cast<int>(rows.back().size()) == count)
      rows.emplace_back();
    rows.back().emplace_back(x, y);
  }
  return rows;
}

std::array<std::uint8_t, 3> ColourOf(int target) {
  const SceneColour c = SceneTargetColour(target);
  return {c.red, c.green, c.blue};
}

class SampleCommand : public ::testing::Test {
 protected:
  std::string Root() const { return m_dir.FilePath("take9"); }
  TempDir m_dir;
};

TEST_F(SampleCommand, TargetsAreFoundWhereTheTrackFileSays) {
  const CliResult result = RunInProcess({"sample", m_dir.Path().string()});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");

  int count = 0;
  const auto rows = TrackRows(m_dir.FilePath("truetracks.txt"), count);
  ASSERT_EQ(count, 4);
  ASSERT_EQ(rows.size(), 61u);
  int appeared = 0;
  int hidden = 0;
  int disabled = 0;
  for (int f = 0; f < 61; ++f) {
    SCOPED_TRACE("frame " + std::to_string(f));
    char name[32];
    std::snprintf(name, sizeof name, "take9_%04d.bmp", f);
    const Frame frame = ReadFrame(m_dir.FilePath(name));
    ASSERT_EQ(frame.width, 320);
    ASSERT_EQ(frame.height, 240);
    std::set<Blob> expected;
    for (int t = 0; t < count; ++t) {
      const auto [x, y] = rows[f][t];
      if (x > 999 || y > 999) {
        ++disabled;
      } else if (x == 0 && y == 0) {
        ++hidden;
      } else {
        ++appeared;
        expected.insert({x, y, ColourOf(t)});
      }
    }
    EXPECT_EQ(FindBlobs(frame), expected);
  }
  // Target 1 is absent until frame 15, target 2 for frames 30 to 39, and
  // target 3 is out of the picture from frame 20 on.
  EXPECT_EQ(hidden, 15 + 10);
  EXPECT_EQ(disabled, 61 - 20);
  EXPECT_EQ(appeared, 4 * 61 - hidden - disabled);
  EXPECT_FALSE(std::filesystem::exists(m_dir.FilePath("take9_0061.bmp")));
}

TEST_F(SampleCommand, TheLoaderReadsTheTrackFileAsTheSceneIntends) {
  ASSERT_EQ(RunInProcess({"sample", m_dir.Path().string()}).status, 0);
  CTrackSet tracks;
  ASSERT_TRUE(tracks.LoadTrueTracksFrom(m_dir.FilePath("truetracks.txt").c_str()));
  ASSERT_EQ(tracks.m_count, 4);
  // A position at frame 0 cannot start a trail, so targets seen from frame 0
  // start at frame 1.
  EXPECT_EQ(tracks.m_tracks[0].m_firstFrame, 1);
  EXPECT_EQ(tracks.m_tracks[0].m_endFrame, 61);
  EXPECT_EQ(tracks.m_tracks[1].m_firstFrame, 15);
  EXPECT_EQ(tracks.m_tracks[2].m_endFrame, 30);
  EXPECT_EQ(tracks.m_tracks[2].m_x[45], SceneTarget(2, 45).x);
  EXPECT_EQ(tracks.m_tracks[3].m_enabled, 0);
  EXPECT_EQ(tracks.m_tracks[3].m_x[19], SceneTarget(3, 19).x);
  EXPECT_EQ(tracks.m_tracks[0].m_y[60], SceneTarget(0, 60).y);
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
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(m_dir.Path()))
    left.push_back(entry.path().filename().string());
  EXPECT_EQ(left, std::vector<std::string>{"take9_0005.bmp"});
}

TEST_F(SampleCommand, AMissingFolderIsAFailureNamingIt) {
  const std::string missing = m_dir.FilePath("no-such-folder");
  const CliResult result = RunProgram({"sample", missing});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "korvane-cli sample: " + missing + ": not a folder\n");
  EXPECT_EQ(result.out, "");
  EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(SampleCommand, UsageErrorsAndHelp) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"sample"}, {"sample", "a", "b"}, {"sample", "a", "--fast"}}) {
    const CliResult result = RunInProcess(args);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("usage: korvane-cli sample DIR\n"), std::string::npos);
    EXPECT_EQ(result.out, "");
  }
  const CliResult help = RunProgram({"sample", "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.out.starts_with("usage: korvane-cli sample DIR\n"));
  EXPECT_EQ(help.err, "");
}

}  // namespace
