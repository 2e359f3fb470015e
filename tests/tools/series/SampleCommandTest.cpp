// korvane-cli sample: the series it records through the console's recorder,
// read back frame by frame, against the track file written beside it.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "CliTestSupport.h"
#include "image/SeriesFrames.h"
#include "session/SyntheticScene.h"
#include "support/TempDir.h"
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
    const Frame frame = ReadFrame(series::FrameFileName(Root(), f));
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
  EXPECT_THAT(result.out, HasSubstr(Root() + "_0060.bmp"));
  // The same series as in-process: every run starts from the program's
  // start-up state.
  const std::string first = ReadText(Root() + "_0033.bmp");
  ASSERT_EQ(RunInProcess({"sample", m_dir.Path().string()}).status, 0);
  ASSERT_EQ(RunInProcess({"sample", m_dir.Path().string()}).status, 0);
  EXPECT_EQ(ReadText(Root() + "_0033.bmp"), first);
  EXPECT_EQ(first.size(), 230454u);
}

// Files larger than a few frame headers cannot be written while the object
// lives: a write past the limit fails with EFBIG instead of a signal.
class FileSizeLimit {
 public:
  FileSizeLimit() {
    ::getrlimit(RLIMIT_FSIZE, &m_previous);
    const rlimit small{4096, m_previous.rlim_max};
    ::setrlimit(RLIMIT_FSIZE, &small);
    m_signal = std::signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &m_previous);
    std::signal(SIGXFSZ, m_signal);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit m_previous{};
  void (*m_signal)(int) = nullptr;
};

// A run that fails leaves the folder as it found it: files that carry a
// frame's name but were never written by the run stay, and so does a link.
TEST_F(SampleCommand, AFailedRunLeavesTheFolderAsItWas) {
  WriteText(Root() + "_0040.bmp", "keep");
  std::filesystem::create_symlink("/dev/full", Root() + "_0003.bmp");
  const std::vector<std::string> before{"take9_0003.bmp", "take9_0040.bmp"};
  CliResult result;
  {
    const FileSizeLimit limit;
    result = RunInProcess({"sample", m_dir.Path().string()});
  }
  EXPECT_EQ(result.status, 1);
  EXPECT_THAT(result.err, HasSubstr("take9_0000.bmp\": File too large"));
  EXPECT_EQ(FilesIn(m_dir.Path()), before);

  // A folder where a frame is to go is found before anything is recorded.
  std::filesystem::create_directory(Root() + "_0005.bmp");
  result = RunInProcess({"sample", m_dir.Path().string()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "korvane-cli sample: " + Root() + "_0005.bmp: a folder is in the way of the file\n");
  EXPECT_EQ(FilesIn(m_dir.Path()),
            (std::vector<std::string>{"take9_0003.bmp", "take9_0005.bmp", "take9_0040.bmp"}));
  EXPECT_EQ(ReadText(Root() + "_0040.bmp"), "keep");
}

// A folder that is not there is made, parents and all.
TEST_F(SampleCommand, TheFolderIsMadeWhenMissing) {
  const std::filesystem::path folder = m_dir.Path() / "a" / "b";
  ASSERT_EQ(RunInProcess({"sample", folder.string()}).status, 0);
  EXPECT_EQ(FilesIn(folder).size(), 62u);
  EXPECT_EQ(FilesIn(folder).back(), "truetracks.txt");
}

}  // namespace
