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
#include "geometry/GeometryFile.h"
#include "image/SeriesFrames.h"
#include "player/TrackOverlays.h"
#include "tracks/TrackSet.h"
#include "video/VideoReader.h"

using namespace cli_test;

namespace {

std::string Name(const std::string& root, int frame) {
  return series::FrameFileName(root, frame);
}

// Standard error without the progress lines, which carry times; how many
// there were in `lines`.
std::string WithoutProgress(const std::string& err, int& lines) {
  std::string kept;
  lines = 0;
  std::size_t from = 0;
  while (from < err.size()) {
    const std::size_t end = std::min(err.find('\n', from), err.size() - 1) + 1;
    const std::string line = err.substr(from, end - from);
    if (line.starts_with("render: ") && line.find(" frames/s, ") != std::string::npos)
      ++lines;
    else
      kept += line;
    from = end;
  }
  return kept;
}

class RenderCommand : public SampleSeriesTest {
 protected:
  std::string Source() const { return Root(); }
  std::string Output() const { return m_dir.File("out"); }

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
    const Args args = Joined(
        {"render", Source(), std::to_string(c.first), std::to_string(c.last), outRoot}, c.options);
    std::optional<InFolder> inSeries;
    if (c.inSeries)
      inSeries.emplace(m_series.Path());
    const CliResult result = RunInProcess(args);
    ASSERT_EQ(result.status, 0) << result.err;
    int progressLines = 0;
    EXPECT_EQ(WithoutProgress(result.err, progressLines), "");
    const int count = c.last - c.first + 1;
    EXPECT_THAT(result.out, HasSubstr("render: " + std::to_string(count) +
                                      " frames shown, 0 not shown, 0 retries"));
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
  int progressLines = 0;
  EXPECT_EQ(WithoutProgress(result.err, progressLines),
            prefix + Name(Source(), 4) + ": missing; not shown\n" + prefix + Name(Source(), 7) +
                ": short header or bad signature, 3 tries; not shown\n" + prefix +
                Name(Source(), 11) + ": short header or bad signature, 3 tries; not shown\n" +
                prefix + Name(Source(), 13) + ": not a regular file (a folder); not shown\n");
  // A progress line at every tenth of the 28 frames, the last one included.
  EXPECT_EQ(progressLines, 10);
  EXPECT_THAT(result.err, HasSubstr("render: 28/28 frames, "));
  EXPECT_EQ(result.out, "render: 24 frames shown, 4 not shown, 6 retries; wrote " +
                            Name(Output(), 3) + " to " + Name(Output(), 30) + "\n");
  std::vector<std::string> shown;
  for (int f = 3; f <= 30; ++f) {
    if (f != 4 && f != 7 && f != 11 && f != 13)
      shown.push_back(std::filesystem::path(Name(Output(), f)).filename().string());
  }
  EXPECT_EQ(FilesIn(m_dir.Path()), shown);
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
  WriteText(m_dir.File("empty.txt"), "");
  const std::string folder = m_dir.File("folder");
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
      {{Source(), "0", "5", Output(), "--tracks", m_dir.File("none.txt"), "--markers"},
       m_dir.File("none.txt") + ": missing"},
      {{Source(), "0", "5", m_dir.File("empty.txt/out")}, "not a folder, for OUTROOT"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const CliResult result = RunExpecting(1, Joined({"render"}, c.args));
    EXPECT_THAT(result.err, HasSubstr(c.message));
    EXPECT_EQ(FilesIn(m_dir.Path()), (std::vector<std::string>{"empty.txt", "folder"}));
  }
  EXPECT_EQ(FilesIn(m_series.Path()).size(), 62u) << "the input series is untouched";

  // A track file that gives no target paints nothing, with a warning.
  const CliResult empty = RunExpecting(0, {"render", Source(), "0", "0", Output(), "--tracks",
                                           m_dir.File("empty.txt"), "--markers"});
  EXPECT_THAT(empty.err, HasSubstr("warning: " + m_dir.File("empty.txt") + ": no targets"));
  EXPECT_TRUE(ReadFrame(Name(Output(), 0)).pixels == ReadFrame(Name(Source(), 0)).pixels);

  // An output frame that cannot be put in place (a folder holds its name)
  // stops the run with the system's reason; the frames before it stay whole.
  std::filesystem::create_directory(Name(Output(), 2));
  const CliResult stopped = RunExpecting(1, {"render", Source(), "1", "5", Output()});
  EXPECT_THAT(stopped.err,
              HasSubstr("cannot write " + Name(Output(), 2) + ": Is a directory; stopped"));
  EXPECT_THAT(stopped.out, HasSubstr("wrote " + Name(Output(), 1) + " to " + Name(Output(), 1)));
  const std::vector<std::string> left = {"empty.txt", "folder", "out_0000.bmp", "out_0001.bmp",
                                         "out_0002.bmp"};
  EXPECT_EQ(FilesIn(m_dir.Path()), left);
}

// With --video every frame number becomes one picture of the video: in the
// lossless form exactly the frame written as a file, a frame not shown holding
// the one before it; in the shared form an H.264 stream at the rate asked,
// its pictures close to the frames, the red markers still red.
// OUTROOT's folder is made when missing, as import makes its own, but only
// with the first frame written: a run that shows no frame leaves no folder.
TEST_F(RenderCommand, AMissingOutputFolderIsMadeWithTheFirstFrame) {
  const std::string nested = m_dir.File("made/for/it/seq");
  const CliResult made = RunExpecting(0, {"render", Source(), "0", "2", nested});
  EXPECT_EQ(FilesIn(m_dir.File("made/for/it")),
            (std::vector<std::string>{"seq_0000.bmp", "seq_0001.bmp", "seq_0002.bmp"}));

  // Frames 100 to 102 do not exist: nothing is shown, nothing is made.
  const CliResult none = RunExpecting(1, {"render", Source(), "100", "102", m_dir.File("x/y/seq")});
  EXPECT_THAT(none.err, HasSubstr("take9_0100.bmp: missing; not shown"));
  EXPECT_FALSE(std::filesystem::exists(m_dir.File("x")));
}

// Without --rate the video runs at the source's rate as import recorded it in
// ROOT.geometry (rounded, at most the player's 30); --rate still decides.
TEST_F(RenderCommand, TheVideoRateComesFromTheSeriesGeometry) {
  cli::FrameGeometry geometry;
  ASSERT_EQ(cli::PlanGeometry(cli::FitMode::Fit, 640, 480, {}, geometry), std::nullopt);
  const struct {
    cli::Fraction recorded;
    int rate;
  } cases[] = {{{30, 1}, 30}, {{30000, 1001}, 30}, {{25, 2}, 13}, {{60, 1}, 30}, {{0, 0}, 10}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rate);
    geometry.videoRate = c.recorded;
    WriteText(Source() + ".geometry", cli::GeometryText(geometry));
    const std::string video = m_dir.File("r.mkv");
    const CliResult result = RunExpecting(0, {"render", Source(), "0", "2", "--video", video});
    EXPECT_THAT(result.out, HasSubstr("(3 frames at " + std::to_string(c.rate) + " per second)"));
  }
  const CliResult given =
      RunInProcess({"render", Source(), "0", "2", "--video", m_dir.File("r.mkv"), "--rate", "5"});
  EXPECT_THAT(given.out, HasSubstr("(3 frames at 5 per second)"));
  std::filesystem::remove(Source() + ".geometry");
}

TEST_F(RenderCommand, TheVideoShowsEveryFrameNumberAtTheRate) {
  std::filesystem::remove(Name(Source(), 5));
  const std::string lossless = m_dir.File("v.mkv");
  const CliResult both = RunInProcess({"render", Source(), "0", "12", Output(), "--video", lossless,
                                       "--tracks", Tracks(), "--trails", "--markers"});
  EXPECT_EQ(both.status, 1) << "frame 5 was not shown";
  EXPECT_THAT(both.out, HasSubstr("; video " + lossless + " (13 frames at 10 per second)"));
  video::VideoReader reader;
  ASSERT_EQ(reader.Open(lossless), std::nullopt);
  std::vector<std::uint8_t> rgb;
  for (int frame = 0; frame <= 12; ++frame) {
    ASSERT_TRUE(reader.ReadFrame(rgb)) << frame;
    const Frame shown = ReadFrame(Name(Output(), frame == 5 ? 4 : frame));
    for (int y = 0; y < 240; y += 7) {
      for (int x = 0; x < 320; x += 3) {
        const std::size_t o = (static_cast<std::size_t>(y) * 320 + x) * 3;
        ASSERT_EQ((std::array{rgb[o], rgb[o + 1], rgb[o + 2]}), shown.Rgb(x, y))
            << frame << ": " << x << ", " << y;
      }
    }
  }
  EXPECT_FALSE(reader.ReadFrame(rgb));

  const std::string shared = m_dir.File("v.mp4");
  const CliResult alone = RunExpecting(0, {"render", Source(), "20", "44", "--video", shared,
                                           "--rate", "25", "--tracks", Tracks(), "--markers"});
  ASSERT_EQ(reader.Open(shared), std::nullopt);
  EXPECT_EQ(reader.Info().codec, "h264");
  EXPECT_EQ(reader.Info().rateNumerator, 25);
  int frames = 0;
  while (frames < 100 && reader.ReadFrame(rgb))
    ++frames;
  EXPECT_EQ(frames, 25);
  // In frame 44 target 0's marker covers (196, 104) to (205, 95).
  const std::size_t marker = (static_cast<std::size_t>(100) * 320 + 200) * 3;
  EXPECT_GT(rgb[marker], 200);
  EXPECT_LT(rgb[marker + 1], 60);
  EXPECT_LT(rgb[marker + 2], 60);

  // Only the two forms are written; OUTROOT may only be left out with --video.
  ExpectUsageError({"render", Source(), "0", "1", "--video", "v.avi"},
                   ".mkv (lossless FFV1) and .mp4 (H.264)");
  ExpectUsageError({"render", Source(), "0", "1"});
  // A name is a file's even where it looks like a protocol's.
  const CliResult named =
      RunProgram({"render", Source(), "0", "1", "--video", "pipe:x.mkv"}, m_dir.Path());
  EXPECT_EQ(named.status, 0) << named.err;
  EXPECT_GT(std::filesystem::file_size(m_dir.File("pipe:x.mkv")), 1000u);
  EXPECT_EQ(named.out.find("Matroska"), std::string::npos);
  const CliResult nowhere =
      RunExpecting(1, {"render", Source(), "0", "1", "--video", m_dir.File("no/v.mkv")});
  EXPECT_THAT(nowhere.err, HasSubstr("No such file or directory"));
}

}  // namespace
