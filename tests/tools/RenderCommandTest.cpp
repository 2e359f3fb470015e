// korvane-cli render: every frame the player shows, overlays included, is
// recorded once, numbered after the frame, byte for byte what the player drew.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "CliTestSupport.h"
#include "base/Trace.h"
#include "player/TrackOverlays.h"
#include "support/TempDir.h"
#include "tools/CliFiles.h"
#include "tracks/TrackSet.h"

using namespace cli_test;

namespace {

std::string Name(const std::string& root, int frame) {
  return cli::FrameFileName(root, frame);
}

class RenderCommand : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(RunInProcess({"sample", m_series.Path().string()}).status, 0); }
  std::string Source() const { return m_series.File("take9"); }
  std::string Tracks() const { return m_series.File("truetracks.txt"); }
  std::string Output() const { return m_output.File("out"); }

  // What the player shows for a source frame: the frame with the trails and
  // markers of the track file painted over it, as the overlays paint them.
  std::vector<unsigned char> Expected(int frame, bool trails, bool markers) const {
    const base::ScopedTraceSink quiet([](std::string_view) {});
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

// Each frame shown is recorded once, numbered after it, byte for byte what
// the player drew: with trails and markers from a named track file, with
// trails alone from the current folder's (which loads the file but paints no
// marker), and without overlays, whatever the rate.
TEST_F(RenderCommand, EachShownFrameIsRecordedWithTheOverlaysAsked) {
  struct Case {
    std::vector<std::string> options;
    int first, last;
    bool trails, markers, inSeries;
  };
  const std::vector<Case> cases = {
      {{"--tracks", Tracks(), "--trails", "--markers"}, 0, 60, true, true, false},
      {{"--trails"}, 10, 20, true, false, true},
      {{"--rate", "30"}, 24, 30, false, false, false},
  };
  const auto before = std::filesystem::current_path();
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.options));
    const TempDir output;
    const std::string outRoot = output.File("out");
    std::vector<std::string> args{"render", Source(), std::to_string(c.first),
                                  std::to_string(c.last), outRoot};
    args.insert(args.end(), c.options.begin(), c.options.end());
    std::optional<InFolder> inSeries;
    if (c.inSeries)
      inSeries.emplace(m_series.Path());
    const CliResult result = RunInProcess(args);
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    const int count = c.last - c.first + 1;
    EXPECT_NE(
        result.out.find("render: " + std::to_string(count) + " frames shown, 0 missing, 0 retries"),
        std::string::npos);
    std::vector<std::string> names;
    for (int f = c.first; f <= c.last; ++f) {
      names.push_back(std::filesystem::path(Name(outRoot, f)).filename().string());
      const Frame recorded = ReadFrame(Name(outRoot, f));
      ASSERT_EQ(recorded.width, 320);
      ASSERT_EQ(recorded.height, 240);
      EXPECT_TRUE(recorded.pixels == Expected(f, c.trails, c.markers)) << f;
    }
    EXPECT_EQ(FilesIn(output.Path()), names);
    if (c.markers) {
      // A marker covers its target: at frame 25 target 0 stands at (120, 85).
      EXPECT_EQ(ReadFrame(Name(outRoot, 25)).Rgb(120, 85),
                (std::array<std::uint8_t, 3>{255, 0, 0}));
    }
  }
  EXPECT_EQ(std::filesystem::current_path(), before);
  // The overlays asked for do show in the frames compared above.
  EXPECT_FALSE(Expected(15, true, false) == Expected(15, false, false));
  EXPECT_FALSE(Expected(15, true, true) == Expected(15, true, false));
}

// A missing file ends the player's playback and an unreadable header makes it
// retry; render skips both and goes on, recording nothing for them, and a
// short pixel block shows over the previous frame, as the player shows it.
// Progress lines follow the recorder's own "Frame 20" (its counter follows
// the frame numbers) every 20 frames shown.
TEST_F(RenderCommand, MissingAndUnreadableFramesAreSkippedAndReported) {
  std::filesystem::remove(Name(Source(), 4));
  WriteText(Name(Source(), 7), std::string(60, 'X'));
  const std::string frame9 = ReadText(Name(Source(), 9));
  WriteText(Name(Source(), 9), frame9.substr(0, 1000));
  WriteText(Name(Source(), 11), "BM short");

  const CliResult result = RunProgram({"render", Source(), "3", "30", Output()});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, "korvane-cli render: " + Name(Source(), 4) +
                            ": missing; not shown\nkorvane-cli render: " + Name(Source(), 7) +
                            ": short header or bad signature, 3 tries; not shown\n"
                            "korvane-cli render: " +
                            Name(Source(), 11) +
                            ": short header or bad signature, 3 tries; not shown\n");
  EXPECT_EQ(result.out, "Frame 20\nrender: 20 frames shown, the last " + Name(Source(), 25) +
                            "\nrender: 25 frames shown, 3 missing, 6 retries; recorded " +
                            Name(Output(), 3) + " to " + Name(Output(), 30) + "\n");
  std::vector<std::string> shown;
  for (int f = 3; f <= 30; ++f) {
    if (f != 4 && f != 7 && f != 11)
      shown.push_back(std::filesystem::path(Name(Output(), f)).filename().string());
  }
  EXPECT_EQ(FilesIn(m_output.Path()), shown);
  std::vector<unsigned char> expected9 = ReadFrame(Name(Source(), 8)).pixels;
  std::copy(frame9.begin() + 54, frame9.begin() + 1000, expected9.begin());
  EXPECT_TRUE(ReadFrame(Name(Output(), 9)).pixels == expected9);
}

}  // namespace
