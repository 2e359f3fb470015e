// Video files written and read back through FFmpeg's libraries: the lossless
// form gives back every frame byte for byte, the shared form is H.264 at the
// right rate and close to the frames, and every failure leaves nothing under
// the video's name.

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/FolderEntries.h"
#include "support/TempDir.h"
#include "video/VideoReader.h"
#include "video/VideoWriter.h"

namespace {

using video::VideoReader;
using video::VideoWriter;

// A picture like a rendered frame: smooth shading, sharp edges and a few
// 3 x 3 single-colour squares. Bottom-up blue-green-red rows.
std::vector<std::uint8_t> Picture(int width, int height, int seed) {
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(width) * height * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(y) * width + x) * 3];
      pixel[0] = static_cast<std::uint8_t>((x * 3 + seed * 7) & 0xFF);
      pixel[1] = static_cast<std::uint8_t>((y * 2 + seed) & 0xFF);
      pixel[2] = static_cast<std::uint8_t>(x < width / 2 ? 40 : 200);
      if ((x / 3 + y / 3 + seed) % 17 == 0)
        pixel[0] = 0, pixel[1] = 255, pixel[2] = 0;
    }
  }
  return pixels;
}

// A decoded picture (top-down red-green-blue) in the writer's layout.
std::vector<std::uint8_t> AsWritten(const std::vector<std::uint8_t>& rgb, int width, int height) {
  std::vector<std::uint8_t> bgr(rgb.size());
  const std::size_t row = static_cast<std::size_t>(width) * 3;
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* in = &rgb[row * static_cast<std::size_t>(height - 1 - y)];
    std::uint8_t* out = &bgr[row * static_cast<std::size_t>(y)];
    for (std::size_t i = 0; i < row; i += 3) {
      out[i] = in[i + 2];
      out[i + 1] = in[i + 1];
      out[i + 2] = in[i];
    }
  }
  return bgr;
}

std::optional<std::string> WriteVideo(const std::string& path, int width, int height, int rate,
                                      int frames) {
  VideoWriter writer;
  if (auto problem = writer.Open(path, width, height, rate))
    return problem;
  for (int i = 0; i < frames; ++i) {
    if (auto problem = writer.WriteFrame(Picture(width, height, i)))
      return problem;
  }
  return writer.Finish();
}

std::vector<std::vector<std::uint8_t>> ReadAll(VideoReader& reader) {
  std::vector<std::vector<std::uint8_t>> frames;
  std::vector<std::uint8_t> rgb;
  while (frames.size() < 1000 && reader.ReadFrame(rgb))
    frames.push_back(AsWritten(rgb, reader.Info().width, reader.Info().height));
  return frames;
}

TEST(VideoFiles, TheLosslessFormGivesBackEveryFrameByteForByte) {
  const TempDir dir;
  for (const auto& [width, height] : {std::pair{320, 240}, std::pair{7, 5}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    // Appended rather than joined with +: GCC 12 at -O3 warns falsely of an
    // overlap when a literal is joined to a temporary string.
    std::string name(1, 'v');
    name += std::to_string(width);
    name += ".mkv";
    const std::string path = dir.File(name);
    ASSERT_EQ(WriteVideo(path, width, height, 10, 6), std::nullopt);
    VideoReader reader;
    ASSERT_EQ(reader.Open(path), std::nullopt);
    EXPECT_EQ(reader.Info().codec, "ffv1");
    EXPECT_EQ(std::pair(reader.Info().rateNumerator, reader.Info().rateDenominator),
              std::pair(10, 1));
    const auto frames = ReadAll(reader);
    EXPECT_EQ(reader.Problem(), std::nullopt);
    ASSERT_EQ(frames.size(), 6u);
    for (int i = 0; i < 6; ++i)
      EXPECT_TRUE(frames[static_cast<std::size_t>(i)] == Picture(width, height, i)) << i;
  }
}

// H.264 with 4:2:0 colour keeps brightness per pixel but colour only per
// 2 x 2 block: the 3 x 3 squares of this picture, off the 2 x 2 grid, and its
// colour ramps lose part of their colour at every edge pixel, about 7 levels
// of 255 on average per byte here, quantisation at quality 18 included. The
// bound of 10 leaves room for encoder versions; a wrong row order gives
// about 46, a wrong colour order about 59.
TEST(VideoFiles, TheSharedFormIsH264AtTheRateAndCloseToTheFrames) {
  const TempDir dir;
  const std::string path = dir.File("v.mp4");
  ASSERT_EQ(WriteVideo(path, 320, 240, 12, 12), std::nullopt);
  VideoReader reader;
  ASSERT_EQ(reader.Open(path), std::nullopt);
  EXPECT_EQ(reader.Info().codec, "h264");
  EXPECT_EQ(std::pair(reader.Info().rateNumerator, reader.Info().rateDenominator),
            std::pair(12, 1));
  const auto frames = ReadAll(reader);
  ASSERT_EQ(frames.size(), 12u);
  for (int i = 0; i < 12; ++i) {
    const auto expected = Picture(320, 240, i);
    double difference = 0;
    for (std::size_t b = 0; b < expected.size(); ++b)
      difference += std::abs(int{frames[static_cast<std::size_t>(i)][b]} - int{expected[b]});
    EXPECT_LT(difference / static_cast<double>(expected.size()), 10.0) << i;
  }
  // The index stands before the media data, so the file plays while loading.
  std::ifstream file(path, std::ios::binary);
  std::string head(4096, '\0');
  file.read(head.data(), static_cast<std::streamsize>(head.size()));
  EXPECT_LT(head.find("moov"), head.find("mdat"));
}

// Refusals before anything is written, a writer given up before Finish, and
// files that are no video or are cut short: a clear message, no crash, and
// nothing left under the video's name or beside it.
TEST(VideoFiles, FailuresAreNamedAndLeaveNothingBehind) {
  const TempDir dir;
  EXPECT_NE(WriteVideo(dir.File("v.avi"), 320, 240, 10, 1), std::nullopt);
  EXPECT_NE(WriteVideo(dir.File("v.mp4"), 321, 240, 10, 1), std::nullopt);
  EXPECT_NE(WriteVideo(dir.File("v.mkv"), 320, 240, 0, 1), std::nullopt);
  const auto missing = WriteVideo(dir.File("no/such/v.mkv"), 320, 240, 10, 1);
  ASSERT_NE(missing, std::nullopt);
  EXPECT_NE(missing->find("No such file or directory"), std::string::npos) << *missing;
  {
    VideoWriter abandoned;
    ASSERT_EQ(abandoned.Open(dir.File("a.mkv"), 320, 240, 10), std::nullopt);
    ASSERT_EQ(abandoned.WriteFrame(Picture(320, 240, 0)), std::nullopt);
    EXPECT_NE(abandoned.WriteFrame(std::vector<std::uint8_t>(100)), std::nullopt);
  }
  EXPECT_TRUE(FilesIn(dir.Path()).empty());

  // Garbage, an empty file and a lossless video cut in half.
  const std::string whole = dir.File("whole.mkv");
  ASSERT_EQ(WriteVideo(whole, 320, 240, 10, 8), std::nullopt);
  std::ofstream(dir.File("garbage.mp4")) << std::string(5000, 'x');
  std::ofstream(dir.File("empty.mkv"));
  std::filesystem::copy_file(whole, dir.File("cut.mkv"));
  std::filesystem::resize_file(dir.File("cut.mkv"), std::filesystem::file_size(whole) / 2);
  for (const char* name : {"garbage.mp4", "empty.mkv", "missing.mkv"}) {
    VideoReader reader;
    const auto problem = reader.Open(dir.File(name));
    ASSERT_NE(problem, std::nullopt) << name;
    EXPECT_NE(problem->find(dir.File(name)), std::string::npos) << *problem;
    std::vector<std::uint8_t> rgb;
    EXPECT_FALSE(reader.ReadFrame(rgb));
  }
  VideoReader cut;
  ASSERT_EQ(cut.Open(dir.File("cut.mkv")), std::nullopt);
  const auto frames = ReadAll(cut);
  EXPECT_LT(frames.size(), 8u);
  for (std::size_t i = 0; i < frames.size(); ++i)
    EXPECT_TRUE(frames[i] == Picture(320, 240, static_cast<int>(i))) << i;
}

// A disk that fills up while the video is written: the process may write no
// more than 64 KB per file (SIGXFSZ ignored, so a write just fails, as on a
// full disk). Both forms fail with the system's reason and leave nothing.
TEST(VideoFiles, AFullDiskFailsWithTheReasonAndLeavesNothing) {
  const TempDir dir;
  rlimit previous{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit small = previous;
  small.rlim_cur = 64 * 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const auto lossless = WriteVideo(dir.File("v.mkv"), 320, 240, 10, 8);
  const auto shared = WriteVideo(dir.File("v.mp4"), 320, 240, 10, 60);
  ::setrlimit(RLIMIT_FSIZE, &previous);
  std::signal(SIGXFSZ, oldHandler);
  for (const auto& problem : {lossless, shared}) {
    ASSERT_NE(problem, std::nullopt);
    EXPECT_NE(problem->find("too large"), std::string::npos) << *problem;
  }
  EXPECT_TRUE(FilesIn(dir.Path()).empty());
}

}  // namespace
