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
#include "support/VideoFiles.h"
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
  return test_video::WriteVideo(path, width, height, rate, frames,
                                [&](int i) { return Picture(width, height, i); });
}

double MeanDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
  double sum = 0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
    sum += std::abs(int{a[i]} - int{b[i]});
  return a.empty() ? 0.0 : sum / static_cast<double>(a.size());
}

// Rewrites the picture size a Matroska file declares (two-byte sizes only):
// a small file that claims a huge picture.
bool DeclareMatroskaSize(const std::string& path, int width, int height, int newWidth,
                         int newHeight) {
  std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const auto element = [](int id, int value) {
    return std::string{static_cast<char>(id), '\x82', static_cast<char>(value >> 8),
                       static_cast<char>(value & 0xFF)};
  };
  const std::size_t w = bytes.find(element(0xB0, width));
  const std::size_t h = bytes.find(element(0xBA, height));
  if (w == std::string::npos || h == std::string::npos)
    return false;
  bytes.replace(w, 4, element(0xB0, newWidth));
  bytes.replace(h, 4, element(0xBA, newHeight));
  file.seekp(0);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

// Every frame left, in the writer's layout.
std::vector<std::vector<std::uint8_t>> ReadAll(VideoReader& reader) {
  auto frames = test_video::ReadFrames(reader, 1000);
  for (auto& frame : frames)
    frame = AsWritten(frame, reader.Info().width, reader.Info().height);
  return frames;
}

// Each form is read back as its codec at its rate: the lossless one at any
// size byte for byte; the shared one close to the frames. H.264 with 4:2:0
// colour keeps brightness per pixel but colour only per 2 x 2 block: the
// 3 x 3 squares of this picture, off the 2 x 2 grid, and its colour ramps
// lose part of their colour at every edge pixel, about 7 levels of 255 on
// average per byte here, quantisation at quality 18 included. The bound of
// 10 leaves room for encoder versions; a wrong row order gives about 46, a
// wrong colour order about 59.
TEST(VideoFiles, EachFormGivesBackItsFramesAsItsCodecAtTheRate) {
  const TempDir dir;
  struct Case {
    const char* name;
    int width, height, rate, frames;
    const char* codec;
    double bound;  // the mean difference per byte allowed; 0: byte for byte
  };
  for (const Case& c :
       {Case{"v320.mkv", 320, 240, 10, 6, "ffv1", 0}, Case{"v7.mkv", 7, 5, 10, 6, "ffv1", 0},
        Case{"v.mp4", 320, 240, 12, 12, "h264", 10.0}}) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.File(c.name);
    ASSERT_EQ(WriteVideo(path, c.width, c.height, c.rate, c.frames), std::nullopt);
    VideoReader reader;
    ASSERT_EQ(reader.Open(path), std::nullopt);
    EXPECT_EQ(reader.Info().codec, c.codec);
    EXPECT_EQ(std::pair(reader.Info().rateNumerator, reader.Info().rateDenominator),
              std::pair(c.rate, 1));
    const auto frames = ReadAll(reader);
    if (c.bound == 0) {
      EXPECT_EQ(reader.Problem(), std::nullopt);
    }
    ASSERT_EQ(frames.size(), static_cast<std::size_t>(c.frames));
    for (int i = 0; i < c.frames; ++i) {
      const auto expected = Picture(c.width, c.height, i);
      if (c.bound == 0)
        EXPECT_TRUE(frames[static_cast<std::size_t>(i)] == expected) << i;
      else
        EXPECT_LT(MeanDifference(expected, frames[static_cast<std::size_t>(i)]), c.bound) << i;
    }
  }
  // The index stands before the media data, so the file plays while loading.
  std::ifstream file(dir.File("v.mp4"), std::ios::binary);
  std::string head(4096, '\0');
  file.read(head.data(), static_cast<std::streamsize>(head.size()));
  EXPECT_LT(head.find("moov"), head.find("mdat"));
}

// Top-down frames come back from the lossless form as they were given, and
// from the shared form close to them, tagged with the colour conversion
// used; a reader asked for blue-green-red gives the bytes in that order.
TEST(VideoFiles, TopDownFramesAreWrittenAsTheyStand) {
  const TempDir dir;
  for (const char* name : {"top.mkv", "top.mp4"}) {
    SCOPED_TRACE(name);
    const bool lossless = std::string(name).ends_with(".mkv");
    ASSERT_EQ(test_video::WriteVideo(
                  dir.File(name), 64, 48, 10, 4, [](int i) { return Picture(64, 48, i); },
                  video::FrameLayout::TopDownBgr),
              std::nullopt);
    VideoReader reader;
    ASSERT_EQ(reader.Open(dir.File(name)), std::nullopt);
    reader.SetPixelOrder(video::PixelOrder::Bgr);
    std::vector<std::uint8_t> bgr;
    for (int i = 0; i < 4; ++i) {
      ASSERT_TRUE(reader.ReadFrame(bgr));
      const auto expected = Picture(64, 48, i);
      if (lossless)
        EXPECT_TRUE(bgr == expected) << i;
      else
        EXPECT_LT(MeanDifference(expected, bgr), 12.0) << i;
    }
  }
  const std::string probe = "ffprobe -v error -show_streams " + dir.File("top.mp4") +
                            " 2>/dev/null | grep -q '^color_space=smpte170m'";
  if (std::system("command -v ffprobe >/dev/null") == 0) {
    EXPECT_EQ(std::system(probe.c_str()), 0) << "the stream says how its colours were made";
  }
}

// The reader puts rows where it is told and passes frames over.
TEST(VideoFiles, TheReaderSkipsAndWritesIntoRowsOfAnyStride) {
  const TempDir dir;
  const std::string path = dir.File("v.mkv");
  ASSERT_EQ(WriteVideo(path, 40, 30, 10, 5), std::nullopt);
  VideoReader reader;
  ASSERT_EQ(reader.Open(path), std::nullopt);
  EXPECT_EQ(reader.Part().outWidth, 40);
  ASSERT_TRUE(reader.SkipFrame());
  ASSERT_TRUE(reader.SkipFrame());
  // Frame 2, rows 200 bytes apart; the bytes between rows stay as they were.
  std::vector<std::uint8_t> rows(200 * 29 + 120, 0x5A);
  ASSERT_TRUE(reader.ReadFrame(rows, 200));
  // The decoded form of a written picture: AsWritten is its own inverse.
  const auto expected = AsWritten(Picture(40, 30, 2), 40, 30);
  for (int y = 0; y < 30; ++y) {
    for (int b = 0; b < 200 && 200 * y + b < static_cast<int>(rows.size()); ++b) {
      const std::uint8_t got = rows[static_cast<std::size_t>(200 * y + b)];
      if (b < 120) {
        ASSERT_EQ(got, expected[static_cast<std::size_t>(120 * y + b)]) << y << ", " << b;
      } else {
        ASSERT_EQ(got, 0x5A) << y << ", " << b;
      }
    }
  }
  // A buffer too small is refused and named.
  std::vector<std::uint8_t> small(100);
  EXPECT_FALSE(reader.ReadFrame(small, 120));
  ASSERT_NE(reader.Problem(), std::nullopt);
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

// The rectangle (x, y, w, h) of a decoded top-down red-green-blue picture.
std::vector<std::uint8_t> Crop(const std::vector<std::uint8_t>& rgb, int width, int x, int y, int w,
                               int h) {
  std::vector<std::uint8_t> part;
  for (int row = y; row < y + h; ++row) {
    const auto from = rgb.begin() + (static_cast<std::ptrdiff_t>(row) * width + x) * 3;
    part.insert(part.end(), from, from + static_cast<std::ptrdiff_t>(w) * 3);
  }
  return part;
}

// The first frame of the video, whole, and as `part`.
std::pair<std::vector<std::uint8_t>, std::vector<std::uint8_t>> WholeAndPart(
    const std::string& path, const video::FramePart& part) {
  VideoReader whole;
  VideoReader cut;
  std::vector<std::uint8_t> all;
  std::vector<std::uint8_t> some;
  EXPECT_EQ(whole.Open(path), std::nullopt);
  EXPECT_EQ(cut.Open(path), std::nullopt);
  EXPECT_EQ(cut.SetPart(part), std::nullopt);
  EXPECT_TRUE(whole.ReadFrame(all));
  EXPECT_TRUE(cut.ReadFrame(some));
  EXPECT_EQ(some.size(), static_cast<std::size_t>(part.outWidth) * part.outHeight * 3);
  return {all, some};
}

// A part comes cropped and scaled as the colours are converted: exactly the
// pixels of the whole picture when unscaled, whether its corner lies on the
// colour sampling grid of a 4:2:0 picture or off it; averaged when it
// shrinks. Parts outside the picture are refused.
TEST(VideoFiles, APartOfThePictureComesCroppedAndScaled) {
  const TempDir dir;
  const std::string lossless = dir.File("v.mkv");
  const std::string shared = dir.File("v.mp4");
  ASSERT_EQ(WriteVideo(lossless, 320, 240, 10, 2), std::nullopt);
  ASSERT_EQ(WriteVideo(shared, 320, 240, 10, 2), std::nullopt);
  const auto [whole, odd] = WholeAndPart(lossless, {7, 3, 101, 51, 101, 51});
  EXPECT_TRUE(odd == Crop(whole, 320, 7, 3, 101, 51));
  // 4:2:0 colour: an odd corner is cut from the whole converted picture,
  // an even one converted on its own, the same but at its edges.
  const auto [wholeYuv, oddYuv] = WholeAndPart(shared, {7, 3, 101, 51, 101, 51});
  EXPECT_TRUE(oddYuv == Crop(wholeYuv, 320, 7, 3, 101, 51));
  const auto [againYuv, evenYuv] = WholeAndPart(shared, {8, 4, 100, 50, 100, 50});
  EXPECT_LT(MeanDifference(evenYuv, Crop(againYuv, 320, 8, 4, 100, 50)), 1.0);
  // Halved, each pixel is the mean of its 2 x 2 block (within rounding;
  // cubic scaling is about 1.1 away on this picture).
  const auto halved = WholeAndPart(lossless, {0, 0, 320, 240, 160, 120});
  const std::vector<std::uint8_t>& full = halved.first;
  std::vector<std::uint8_t> mean;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 160; ++x)
      for (int c = 0; c < 3; ++c) {
        const auto at = [&](int dx, int dy) {
          return int{full[((static_cast<std::size_t>(2 * y + dy) * 320) + 2 * x + dx) * 3 + c]};
        };
        mean.push_back(
            static_cast<std::uint8_t>((at(0, 0) + at(1, 0) + at(0, 1) + at(1, 1) + 2) / 4));
      }
  EXPECT_LT(MeanDifference(halved.second, mean), 0.5);

  VideoReader reader;
  ASSERT_EQ(reader.Open(lossless), std::nullopt);
  EXPECT_NE(reader.SetPart({300, 0, 21, 10, 21, 10}), std::nullopt);
  EXPECT_NE(reader.SetPart({0, -1, 10, 10, 10, 10}), std::nullopt);
  EXPECT_NE(reader.SetPart({0, 0, 10, 10, 0, 10}), std::nullopt);
  EXPECT_NE(reader.SetPart({0, 0, 10, 10, 20000, 10}), std::nullopt);
}

// The length the file records and how far the frames read reach: the
// import's measure of a video cut short.
TEST(VideoFiles, TheFramesReadReachTheLengthTheFileRecords) {
  const TempDir dir;
  const std::string path = dir.File("v.mkv");
  ASSERT_EQ(WriteVideo(path, 32, 24, 10, 8), std::nullopt);
  VideoReader reader;
  ASSERT_EQ(reader.Open(path), std::nullopt);
  EXPECT_NEAR(reader.Info().declaredSeconds, 0.8, 1e-6);
  EXPECT_NEAR(reader.Info().frameSeconds, 0.1, 1e-9);
  EXPECT_EQ(reader.ReachedSeconds(), 0.0);
  std::vector<std::uint8_t> rgb;
  for (int i = 0; i < 3; ++i)
    ASSERT_TRUE(reader.ReadFrame(rgb));
  EXPECT_NEAR(reader.ReachedSeconds(), 0.3, 1e-6);
  while (reader.ReadFrame(rgb)) {
  }
  EXPECT_NEAR(reader.ReachedSeconds(), 0.8, 1e-6);
}

// A size beyond the bound, declared in a few bytes, is refused from the
// header with the size and the bound, before a decoder allocates for it.
TEST(VideoFiles, ADeclaredSizeBeyondTheBoundIsRefusedBeforeDecoding) {
  EXPECT_EQ(video::DecodedSizeProblem(8192, 8192), std::nullopt);
  EXPECT_EQ(video::DecodedSizeProblem(16384, 4096), std::nullopt);
  for (const auto& [width, height] :
       {std::pair{8193, 8192}, std::pair{16385, 2}, std::pair{2, 16385}, std::pair{0, 5}}) {
    const auto problem = video::DecodedSizeProblem(width, height);
    ASSERT_NE(problem, std::nullopt);
    EXPECT_NE(problem->find(std::to_string(width) + " x " + std::to_string(height)),
              std::string::npos)
        << *problem;
  }
  const TempDir dir;
  const std::string path = dir.File("bomb.mkv");
  ASSERT_EQ(WriteVideo(path, 320, 256, 10, 3), std::nullopt);
  ASSERT_TRUE(DeclareMatroskaSize(path, 320, 256, 16384, 16000));
  VideoReader reader;
  const auto problem = reader.Open(path);
  ASSERT_NE(problem, std::nullopt);
  EXPECT_NE(problem->find("16384 x 16000 pixels is more than the 67108864 pixels"),
            std::string::npos)
      << *problem;
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
