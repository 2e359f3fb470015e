// korvane-cli import from a video file: every decoded frame becomes a frame
// file placed as a picture would be, the geometry file carries the video's
// rate and time base, and a video that cannot be read leaves nothing.

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>

#include "CliTestSupport.h"
#include "geometry/GeometryFile.h"
#include "image/SeriesFrames.h"
#include "support/TempDir.h"
#include "support/VideoFiles.h"

using namespace cli_test;

namespace {

// Picture `index` of a test video, bottom-up blue-green-red: every pixel
// tells its column, row and the picture's index.
std::vector<std::uint8_t> VideoPicture(int width, int height, int index) {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3);
  for (std::size_t i = 0; i < pixels.size(); i += 3) {
    const std::size_t pixel = i / 3;
    pixels[i] = static_cast<std::uint8_t>(pixel % static_cast<std::size_t>(width));
    pixels[i + 1] = static_cast<std::uint8_t>(pixel / static_cast<std::size_t>(width));
    pixels[i + 2] = static_cast<std::uint8_t>(40 * index);
  }
  return pixels;
}

void MakeVideo(const std::string& path, int width, int height, int rate, int count) {
  ASSERT_EQ(test_video::WriteVideo(path, width, height, rate, count,
                                   [&](int i) { return VideoPicture(width, height, i); }),
            std::nullopt);
}

// The ffmpeg program, a test tool only: it makes the kinds of video the
// project's writer does not (transport streams, NUT, variable rates, edit
// lists).
bool HaveFfmpeg() {
  const char* path = std::getenv("PATH");
  std::istringstream folders(path ? path : "");
  for (std::string folder; std::getline(folders, folder, ':');) {
    if (!folder.empty() && ::access((folder + "/ffmpeg").c_str(), X_OK) == 0)
      return true;
  }
  return false;
}

void Ffmpeg(const std::string& args) {
  ASSERT_EQ(std::system(("ffmpeg -nostdin -loglevel error -y " + args).c_str()), 0) << args;
}

class VideoImport : public ::testing::Test {
 protected:
  std::string Out(const std::string& name) const { return m_out.File(name); }
  TempDir m_in;
  TempDir m_out;
};

// A lossless video at the frame size comes in byte for byte; a frame range
// of a larger one is fitted, and the geometry file says where it came from.
TEST_F(VideoImport, EveryFrameComesInPlacedAsAPictureWouldBe) {
  const std::string exact = m_in.File("exact.mkv");
  MakeVideo(exact, 320, 240, 10, 6);
  const CliResult whole = RunInProcess({"import", exact, Out("a/take")});
  ASSERT_EQ(whole.status, 0) << whole.err;
  EXPECT_THAT(whole.out, HasSubstr("wrote 6 frames"));
  for (int i = 0; i < 6; ++i)
    EXPECT_TRUE(ReadFrame(series::FrameFileName(Out("a/take"), i)).pixels ==
                VideoPicture(320, 240, i))
        << i;
  cli::FrameGeometry geometry;
  ASSERT_EQ(cli::ReadGeometryFile(Out("a/take.geometry"), geometry), std::nullopt);
  EXPECT_EQ(geometry.videoRate, (cli::Fraction{10, 1}));
  EXPECT_GT(geometry.videoTimeBase.denominator, 0);
  EXPECT_EQ(geometry.firstSource, 1);

  // 640 x 360 fits as 320 x 180, 30 rows of black above and below; frames
  // 3 and 4 of the video become 7 and 8 of the series.
  const std::string wide = m_in.File("wide.mkv");
  MakeVideo(wide, 640, 360, 25, 6);
  const CliResult part = RunInProcess(
      {"import", wide, Out("b/take"), "--first-frame", "3", "--count", "2", "--start", "7"});
  ASSERT_EQ(part.status, 0) << part.err;
  EXPECT_EQ(FilesIn(m_out.File("b")),
            (std::vector<std::string>{"take.geometry", "take_0007.bmp", "take_0008.bmp"}));
  ASSERT_EQ(cli::ReadGeometryFile(Out("b/take.geometry"), geometry), std::nullopt);
  EXPECT_EQ(std::tuple(geometry.scaledWidth, geometry.scaledHeight, geometry.offsetY,
                       geometry.firstFrame, geometry.firstSource),
            std::tuple(320, 180, 30, 7, 3));
  const Frame frame8 = ReadFrame(series::FrameFileName(Out("b/take"), 8));
  EXPECT_EQ(frame8.Rgb(100, 10), (std::array<std::uint8_t, 3>{0, 0, 0}));
  // Video frame 4 (index 3) holds red 120 everywhere: averaging keeps it.
  EXPECT_EQ(frame8.Rgb(100, 100)[0], 120);
}

// Files that are no video or end too soon, frame ranges beyond the end and
// options that belong to the other kind of source: a clear message, the
// right status, and nothing left half-written.
TEST_F(VideoImport, BadVideosAndRangesFailCleanly) {
  const std::string good = m_in.File("good.mkv");
  MakeVideo(good, 320, 240, 10, 8);
  WriteText(m_in.File("garbage.mp4"), std::string(4000, 'g'));
  WriteText(m_in.File("empty.avi"), "");
  std::filesystem::copy_file(good, m_in.File("cut.mkv"));
  std::filesystem::resize_file(m_in.File("cut.mkv"), std::filesystem::file_size(good) / 3);
  struct Case {
    std::vector<std::string> args;
    int status;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"import", m_in.File("garbage.mp4"), Out("x")}, 1, "not a video the libraries open"},
      {{"import", m_in.File("empty.avi"), Out("x")}, 1, "not a video the libraries open"},
      {{"import", good, Out("x"), "--first-frame", "9"}, 1, "no frame from video frame 9 on"},
      {{"import", good, Out("x"), "--first-frame", "12"}, 1, "the video has only 8 frames"},
      {{"import", good, Out("y/x"), "--first-frame", "9"}, 1, "no frame from video frame 9 on"},
      {{"import", good, Out("x"), "--first-frame", "0"}, 2, "--first-frame"},
      {{"import", good, Out("x"), "--first", "1"}, 2, "a video takes --first-frame"},
      {{"import", m_in.Path().string(), Out("x"), "--count", "2"}, 2, "go with a video source"},
      {{"import", good, m_in.File("good.mkv/x")}, 1, "cannot be made"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const CliResult result = RunExpecting(c.status, c.args);
    EXPECT_THAT(result.err, HasSubstr(c.message));
    EXPECT_TRUE(FilesIn(m_out.Path()).empty());
  }
  // More frames asked for than the video holds: those it holds are kept, and
  // the run fails saying so.
  const CliResult past = RunExpecting(1, {"import", good, Out("p/x"), "--count", "10"});
  EXPECT_THAT(past.err, HasSubstr("ends after frame 8, before the 10 frames asked for"));
  EXPECT_EQ(FilesIn(m_out.File("p")).size(), 9u);
  std::filesystem::remove_all(m_out.File("p"));
  std::filesystem::remove_all(m_out.File("y"));

  // A video cut short gives the frames it still holds, each whole, and fails
  // naming the file and the frames that are complete.
  const CliResult cut = RunExpecting(1, {"import", m_in.File("cut.mkv"), Out("c")});
  EXPECT_THAT(cut.err, HasSubstr("cut.mkv: the video ends after frame"));
  EXPECT_THAT(cut.err, HasSubstr("are complete"));
  const std::vector<std::string> written = FilesIn(m_out.Path());
  ASSERT_GT(written.size(), 1u);
  EXPECT_LT(written.size(), 9u);
  for (std::size_t i = 0; i + 1 < written.size(); ++i)
    EXPECT_TRUE(ReadFrame(series::FrameFileName(Out("c"), static_cast<int>(i))).pixels ==
                VideoPicture(320, 240, static_cast<int>(i)));
}

// Complete videos whose container gives another length than the frames
// their stream delivers: each frame delivered comes in and the run succeeds.
// Two transport streams joined with cat (the estimated length is one's), a
// NUT file whose length stops at its last frame's start, variable-rate
// Matroska and WebM (466 frames by length times average rate, 60 in the
// stream), an MP4 trimmed by an edit list (500 frames stored, 350 played),
// and a sound track longer than the video.
TEST_F(VideoImport, EveryFrameTheStreamDeliversComesIn) {
  if (!HaveFfmpeg())
    GTEST_SKIP() << "no ffmpeg program on the PATH to make the videos";
  const std::string source = "-f lavfi -i testsrc2=size=160x120:rate=";
  const std::string vfr = source +
                          "30 -frames:v 60 -vf \"setpts='if(lt(N,30),N/30,1+(N-30)*0.5)/TB'\" " +
                          "-fps_mode passthrough ";
  struct Case {
    std::string name;
    std::function<void(const std::string&)> make;
    int frames;
  };
  const std::vector<Case> cases = {
      {"joined.ts",
       [&](const std::string& f) {
         Ffmpeg(source + "25 -frames:v 100 -c:v libx264 -pix_fmt yuv420p " + f + ".a.ts");
         Ffmpeg(source + "25 -frames:v 100 -c:v libx264 -pix_fmt yuv420p " + f + ".b.ts");
         WriteText(f, ReadText(f + ".a.ts") + ReadText(f + ".b.ts"));
       },
       200},
      {"ten.nut", [&](const std::string& f) { Ffmpeg(source + "10 -frames:v 10 -c:v ffv1 " + f); },
       10},
      {"vfr.mkv", [&](const std::string& f) { Ffmpeg(vfr + "-c:v ffv1 " + f); }, 60},
      {"vfr.webm", [&](const std::string& f) { Ffmpeg(vfr + "-c:v libvpx -b:v 200k " + f); }, 60},
      {"trimmed.mp4",
       [&](const std::string& f) {
         Ffmpeg(source + "30 -frames:v 500 -c:v libx264 -g 500 -pix_fmt yuv420p " + f + ".mp4");
         // Copied from 5 s on: every sample is kept, the edit list plays 350.
         Ffmpeg("-ss 5 -i " + f + ".mp4 -c copy " + f);
       },
       350},
      {"sound.mkv",
       [&](const std::string& f) {
         Ffmpeg(source + "25:duration=2 -f lavfi -i sine=duration=4 -c:v ffv1 -c:a pcm_s16le " + f);
       },
       50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = m_in.File(c.name);
    c.make(path);
    const std::string root = Out(c.name + "/take");
    const CliResult result = RunExpecting(0, {"import", path, root});
    EXPECT_THAT(result.out, HasSubstr("wrote " + std::to_string(c.frames) + " frames"));
    EXPECT_EQ(FilesIn(m_out.File(c.name)).size(), static_cast<std::size_t>(c.frames) + 1);
  }
}

}  // namespace
