// korvane-cli render: every frame the player shows, overlays included, is
// recorded once, numbered after the frame, byte for byte what the player drew.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "CliTestSupport.h"
#include "player/TrackOverlays.h"
#include "support/TempDir.h"
#include "tracks/TrackSet.h"
#include "ui/core/Trace.h"

using namespace cli_test;

namespace {

std::string Name(const std::string& root, int frame) {
  char number[16];
  std::snprintf(number, sizeof number, "_%04d.bmp", frame);
  return root + number;
}

std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class RenderCommand : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(RunInProcess({"sample", m_series.Path().string()}).status, 0); }
  std::string Source() const { return m_series.FilePath("take9"); }
  std::string Tracks() const { return m_series.FilePath("truetracks.txt"); }
  std::string Output() const { return m_output.FilePath("out"); }

  // What the player shows for a source frame: the frame with the trails and
  // markers of the track file painted over it, as the overlays paint them.
  std::vector<unsigned char> Expected(int frame, bool trails, bool markers) const {
    const ui::ScopedTraceSink quiet([](std::string_view) {});
    auto tracks = std::make_unique<CTrackSet>();
    EXPECT_TRUE(tracks->LoadTrueTracksFrom(Tracks().c_str()));
    Frame source = ReadFrame(Name(Source(), frame));
    if (trails)
      DrawTrails(source.pixels, 320, *tracks);
    if (markers)
      DrawMarkers(source.pixels, 320, frame, *tracks);
    return source.pixels;
  }

  TempDir m_series;
  TempDir m_output;
};

TEST_F(RenderCommand, EachShownFrameIsRecordedWithItsTrailsAndMarkers) {
  const auto before = std::filesystem::current_path();
  const CliResult result = RunInProcess(
      {"render", Source(), "0", "60", Output(), "--tracks", Tracks(), "--trails", "--markers"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(std::filesystem::current_path(), before);
  ASSERT_EQ(FilesIn(m_output.Path()).size(), 61u);
  for (int f = 0; f <= 60; ++f) {
    SCOPED_TRACE("frame " + std::to_string(f));
    const Frame recorded = ReadFrame(Name(Output(), f));
    ASSERT_EQ(recorded.width, 320);
    ASSERT_EQ(recorded.height, 240);
    EXPECT_TRUE(recorded.pixels == Expected(f, true, true));
  }
  // A marker covers its target: at frame 25 target 0 stands at (120, 85).
  const Frame frame25 = ReadFrame(Name(Output(), 25));
  EXPECT_EQ(frame25.Rgb(120, 85), (std::array<std::uint8_t, 3>{255, 0, 0}));
  EXPECT_NE(result.out.find("render: 61 frames shown, 0 missing, 0 retries"), std::string::npos);
}

TEST_F(RenderCommand, TrailsAloneLoadTheTrackFileButPaintNoMarkers) {
  const InFolder inSeries(m_series.Path());
  const CliResult result = RunInProcess({"render", Source(), "10", "20", Output(), "--trails"});
  ASSERT_EQ(result.status, 0) << result.err;
  for (int f = 10; f <= 20; ++f)
    EXPECT_TRUE(ReadFrame(Name(Output(), f)).pixels == Expected(f, true, false)) << f;
  EXPECT_FALSE(Expected(15, true, false) == Expected(15, false, false));
}

TEST_F(RenderCommand, WithoutOverlaysTheFramesComeOutAsTheyWent) {
  const CliResult result = RunInProcess({"render", Source(), "24", "30", Output(), "--rate", "30"});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(
      FilesIn(m_output.Path()),
      (std::vector<std::string>{"out_0024.bmp", "out_0025.bmp", "out_0026.bmp", "out_0027.bmp",
                                "out_0028.bmp", "out_0029.bmp", "out_0030.bmp"}));
  for (int f = 24; f <= 30; ++f)
    EXPECT_EQ(ReadText(Name(Output(), f)), ReadText(Name(Source(), f))) << f;
}

// A missing file ends the player's playback and an unreadable header makes it
// retry; render skips both and goes on, recording nothing for them, and a
// short pixel block shows over the previous frame, as the player shows it.
TEST_F(RenderCommand, MissingAndUnreadableFramesAreSkippedAndReported) {
  std::filesystem::remove(Name(Source(), 4));
  WriteText(Name(Source(), 7), std::string(60, 'X'));
  const std::string frame9 = ReadText(Name(Source(), 9));
  WriteText(Name(Source(), 9), frame9.substr(0, 1000));
  WriteText(Name(Source(), 11), "BM short");

  const CliResult result = RunProgram({"render", Source(), "3", "12", Output()});
  EXPECT_EQ(result.status, 1);
  EXPECT_NE(result.err.find(Name(Source(), 4) + ": missing; not shown"), std::string::npos)
      << result.err;
  EXPECT_NE(result.err.find(Name(Source(), 7) + ": short header or bad signature, 3 tries"),
            std::string::npos);
  EXPECT_NE(result.err.find(Name(Source(), 11) + ": short header or bad signature"),
            std::string::npos);
  EXPECT_NE(result.out.find("render: 7 frames shown, 3 missing, 6 retries; recorded " +
                            Name(Output(), 3) + " to " + Name(Output(), 12)),
            std::string::npos)
      << result.out;
  EXPECT_EQ(
      FilesIn(m_output.Path()),
      (std::vector<std::string>{"out_0003.bmp", "out_0005.bmp", "out_0006.bmp", "out_0008.bmp",
                                "out_0009.bmp", "out_0010.bmp", "out_0012.bmp"}));
  std::vector<unsigned char> expected9 = ReadFrame(Name(Source(), 8)).pixels;
  std::copy(frame9.begin() + 54, frame9.begin() + 1000, expected9.begin());
  EXPECT_TRUE(ReadFrame(Name(Output(), 9)).pixels == expected9);
}

TEST_F(RenderCommand, TheProgramReportsProgressEveryTwentyFrames) {
  const CliResult result = RunProgram({"render", Source(), "0", "45", Output()});
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  // The recorder's own line comes with the file numbered 19 (its counter
  // follows the frame numbers), render's after it.
  EXPECT_EQ(result.out, "Frame 20\nrender: 20 frames shown, the last " + Name(Source(), 19) +
                            "\nFrame 40\nrender: 40 frames shown, the last " + Name(Source(), 39) +
                            "\nrender: 46 frames shown, 0 missing, 0 retries; recorded " +
                            Name(Output(), 0) + " to " + Name(Output(), 45) + "\n");
}

TEST_F(RenderCommand, UsageErrors) {
  const std::string s = Source();
  const std::string o = Output();
  const std::vector<std::vector<std::string>> cases = {
      {"render"},
      {"render", s, "0", "5"},
      {"render", s, "0", "5", o, "extra"},
      {"render", s, "five", "5", o},
      {"render", s, "6", "5", o},
      {"render", s, "-1", "5", o},
      {"render", s, "0", "100000", o},
      {"render", s, "0", "5", o, "--rate", "0"},
      {"render", s, "0", "5", o, "--rate", "31"},
      {"render", s, "0", "5", o, "--rate"},
      {"render", s, "0", "5", o, "--tracks", Tracks()},
      {"render", s, "0", "5", o, "--markers", "--markers"},
      {"render", s, "0", "5", o, "--slow"},
  };
  for (const auto& args : cases) {
    const CliResult result = RunInProcess(args);
    EXPECT_EQ(result.status, 2) << args.size();
    EXPECT_NE(result.err.find("usage: korvane-cli render ROOT FIRST LAST OUTROOT [--tracks FILE] "
                              "[--trails] [--markers] [--rate N]\n"),
              std::string::npos)
        << result.err;
    EXPECT_EQ(result.out, "");
  }
  EXPECT_TRUE(FilesIn(m_output.Path()).empty());
}

TEST_F(RenderCommand, MissingFilesAreFailuresNamingThem) {
  const std::string noFolder = m_output.FilePath("none/out");
  CliResult result = RunInProcess({"render", Source(), "0", "5", noFolder});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            "korvane-cli render: " + m_output.FilePath("none") + ": no such folder for OUTROOT\n");

  const std::string noTracks = m_series.FilePath("none.txt");
  result =
      RunInProcess({"render", Source(), "0", "5", Output(), "--markers", "--tracks", noTracks});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "korvane-cli render: " + noTracks + ": cannot be opened\n");

  // Without --tracks the track file comes from the current folder.
  result = RunInProcess({"render", Source(), "0", "5", Output(), "--markers"});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "korvane-cli render: truetracks.txt: not in the current folder\n");
  EXPECT_TRUE(FilesIn(m_output.Path()).empty());
}

}  // namespace
