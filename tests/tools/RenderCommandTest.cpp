// korvane-cli render: every frame the player shows, overlays included, is
// written once, numbered after the frame, byte for byte what the player draws;
// frames the player cannot show are skipped and named, and nothing is ever
// written over the input or left half-written.

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

// Each frame shown is written once, numbered after it, with the frame's
// overlays: with trails and markers from a named track file, with trails
// alone from the current folder's, and without overlays, whatever the rate.
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
    EXPECT_NE(result.out.find("render: " + std::to_string(count) +
                              " frames shown, 0 not shown, 0 retries"),
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
// retry; render skips both, names why, and goes on, writing nothing for them.
// A short pixel block shows over the previous frame, as the player shows it,
// and over black after a skipped frame, where the player starts anew.
TEST_F(RenderCommand, FramesThePlayerCannotShowAreSkippedAndNamed) {
  std::filesystem::remove(Name(Source(), 4));
  WriteText(Name(Source(), 7), std::string(60, 'X'));
  const std::string frame9 = ReadText(Name(Source(), 9));
  WriteText(Name(Source(), 9), frame9.substr(0, 1000));
  WriteText(Name(Source(), 11), "BM short");
  std::filesystem::remove(Name(Source(), 13));
  std::filesystem::create_directory(Name(Source(), 13));
  WriteText(Name(Source(), 14), frame9.substr(0, 1000));

  const CliResult result = RunProgram({"render", Source(), "3", "30", Output()});
  EXPECT_EQ(result.status, 1);
  const std::string prefix = "korvane-cli render: ";
  EXPECT_EQ(result.err,
            prefix + Name(Source(), 4) + ": missing; not shown\n" + prefix + Name(Source(), 7) +
                ": short header or bad signature, 3 tries; not shown\n" + prefix +
                Name(Source(), 11) + ": short header or bad signature, 3 tries; not shown\n" +
                prefix + Name(Source(), 13) + ": not a regular file; not shown\n");
  EXPECT_EQ(result.out, "render: 20 frames shown, the last " + Name(Source(), 26) +
                            "\nrender: 24 frames shown, 4 not shown, 6 retries; wrote " +
                            Name(Output(), 3) + " to " + Name(Output(), 30) + "\n");
  std::vector<std::string> shown;
  for (int f = 3; f <= 30; ++f) {
    if (f != 4 && f != 7 && f != 11 && f != 13)
      shown.push_back(std::filesystem::path(Name(Output(), f)).filename().string());
  }
  EXPECT_EQ(FilesIn(m_output.Path()), shown);
  std::vector<unsigned char> expected9 = ReadFrame(Name(Source(), 8)).pixels;
  std::copy(frame9.begin() + 54, frame9.begin() + 1000, expected9.begin());
  EXPECT_TRUE(ReadFrame(Name(Output(), 9)).pixels == expected9);
  std::vector<unsigned char> expected14(320 * 240 * 3, 0);
  std::copy(frame9.begin() + 54, frame9.begin() + 1000, expected14.begin());
  EXPECT_TRUE(ReadFrame(Name(Output(), 14)).pixels == expected14);
}

// What render refuses before it writes anything, and a write that fails: the
// reason is named, the status is 1, and no file is left half-written under a
// frame's name or beside it.
TEST_F(RenderCommand, RefusalsAndWriteFailuresLeaveNothingBehind) {
  WriteText(m_output.File("empty.txt"), "");
  const std::string folder = m_output.File("folder");
  std::filesystem::create_directory(folder);
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{Source(), "0", "5", Source(), "--trails"}, "is the series being read"},
      {{Source(), "0", "5", m_series.File("./take9")}, "is the series being read"},
      {{Source(), "0", "5", Output(), "--tracks", folder, "--markers"},
       folder + ": not a regular file"},
      {{Source(), "0", "5", Output(), "--tracks", m_output.File("none.txt"), "--markers"},
       m_output.File("none.txt") + ": missing"},
      {{Source(), "0", "5", m_output.File("no/such/out")}, "no such folder for OUTROOT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    std::vector<std::string> args{"render"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliResult result = RunInProcess(args);
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
    EXPECT_EQ(FilesIn(m_output.Path()), (std::vector<std::string>{"empty.txt", "folder"}));
  }
  EXPECT_EQ(FilesIn(m_series.Path()).size(), 62u) << "the input series is untouched";

  // A track file that gives no target paints nothing, with a warning.
  const CliResult empty = RunInProcess({"render", Source(), "0", "0", Output(), "--tracks",
                                        m_output.File("empty.txt"), "--markers"});
  EXPECT_EQ(empty.status, 0);
  EXPECT_NE(empty.err.find("warning: " + m_output.File("empty.txt") + ": no targets"),
            std::string::npos);
  EXPECT_TRUE(ReadFrame(Name(Output(), 0)).pixels == ReadFrame(Name(Source(), 0)).pixels);

  // An output frame that cannot be put in place (a folder holds its name)
  // stops the run with the system's reason; the frames before it stay whole.
  std::filesystem::create_directory(Name(Output(), 2));
  const CliResult stopped = RunInProcess({"render", Source(), "1", "5", Output()});
  EXPECT_EQ(stopped.status, 1);
  EXPECT_NE(stopped.err.find("cannot write " + Name(Output(), 2) + ": Is a directory; stopped"),
            std::string::npos)
      << stopped.err;
  EXPECT_NE(stopped.out.find("wrote " + Name(Output(), 1) + " to " + Name(Output(), 1)),
            std::string::npos);
  const std::vector<std::string> left = {"empty.txt", "folder", "out_0000.bmp", "out_0001.bmp",
                                         "out_0002.bmp"};
  EXPECT_EQ(FilesIn(m_output.Path()), left);
}

}  // namespace
