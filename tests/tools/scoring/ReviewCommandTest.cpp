// korvane-cli review: errors-only keeps exactly the error spans and never
// decodes the frames it leaves out; picture folders and videos, scaled or
// not, give frames of the size asked; a wrong command line is refused
// before any file is read, and a failure leaves nothing under the video's
// name.

#include <gtest/gtest.h>

#include <filesystem>

#include "CliTestSupport.h"
#include "ReviewTestScenes.h"
#include "review/Marks.h"
#include "support/TempDir.h"
#include "video/VideoReader.h"

namespace {

using cli_test::FilesIn;
using cli_test::HasSubstr;
using cli_test::RunExpecting;
using cli_test::RunInProcess;
using cli_test::WriteText;

// The frames of a video and its picture size; no frames when it does not open.
std::vector<std::vector<std::uint8_t>> ReadFrames(const std::string& path, int& width,
                                                  int& height) {
  video::VideoReader reader;
  if (reader.Open(path))
    return {};
  width = reader.Info().width;
  height = reader.Info().height;
  return test_video::ReadFrames(reader);
}

// One person in every frame of a 90-frame series, tracked well but for a
// loss at frames 20 and 21 and a box where nobody is at frame 60.
void WriteOnePerson(const TempDir& dir) {
  std::string truth;
  std::string hypotheses;
  for (int f = 1; f <= 90; ++f) {
    const std::string box = test_files::NumberedName(",", 20 + f, ",60,30,70,1,");
    truth += std::to_string(f) + ",1" + box + "1,1\n";
    if (f != 20 && f != 21)
      hypotheses += std::to_string(f) + ",7" + box + "-1,-1\n";
  }
  hypotheses += "60,8,250,20,30,70,1,-1,-1,-1\n";
  WriteText(dir.File("gt.txt"), truth);
  WriteText(dir.File("hyp.txt"), hypotheses);
}

TEST(ReviewCommand, ErrorsOnlyKeepsExactlyTheErrorSpansAndNeverReadsTheRest) {
  const TempDir dir;
  ASSERT_TRUE(review_test::WriteGreyPictures(dir.File("img1"), 320, 240, 90));
  WriteOnePerson(dir);
  // Boxes by IoU under the protocol, the default.
  const cli_test::Args args{
      "review", dir.File("img1"), dir.File("gt.txt"), dir.File("hyp.txt"), "--rate", "10"};
  const auto whole = RunInProcess(cli_test::Joined(args, {"--video", dir.File("full.mkv")}));
  ASSERT_EQ(whole.status, 0) << whole.err;

  // Frames outside the spans are broken now: an errors-only review that
  // read one would fail.
  for (const char* name : {"/000005.png", "/000040.png", "/000085.png"})
    WriteText(dir.File("img1") + name, "not a picture");
  const auto kept =
      RunInProcess(cli_test::Joined(args, {"--video", dir.File("errors.mkv"), "--errors-only"}));
  ASSERT_EQ(kept.status, 0) << kept.err;
  // One second at 10 frames a second around 20, 21 and 60.
  EXPECT_TRUE(
      kept.out.starts_with("review: kept frames 10 to 31 (22 frames)\n"
                           "review: kept frames 50 to 70 (21 frames)\n"))
      << kept.out;

  int width = 0;
  int height = 0;
  const auto all = ReadFrames(dir.File("full.mkv"), width, height);
  ASSERT_EQ(all.size(), 90u);
  EXPECT_EQ(width, 320);
  const auto spans = ReadFrames(dir.File("errors.mkv"), width, height);
  ASSERT_EQ(spans.size(), 43u);
  std::size_t next = 0;
  for (const auto& [first, last] : {std::pair{10, 31}, std::pair{50, 70}}) {
    for (int frame = first; frame <= last; ++frame, ++next)
      EXPECT_TRUE(spans[next] == all[static_cast<std::size_t>(frame - 1)]) << frame;
  }

  // A review without an error in its frames writes no video.
  const auto none =
      RunExpecting(0, cli_test::Joined(args, {"--video", dir.File("none.mkv"), "--errors-only",
                                              "--first-frame", "75", "--count", "10"}));
  EXPECT_EQ(none.out, "review: no error in frames 75 to 84; no video was written\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("none.mkv")));
}

TEST(ReviewCommand, FramesHaveTheSourcesSizeOrTheScaledOne) {
  const TempDir dir;
  WriteOnePerson(dir);
  ASSERT_EQ(review_test::WriteGreyVideo(dir.File("odd.mkv"), 161, 91, 12, 25), std::nullopt);
  struct Case {
    const char* video;
    const char* scale;
    int width;
    int height;
  };
  // The shared form needs even sizes: a black column and row are added.
  for (const Case& c : {Case{"same.mkv", "1", 161, 91}, Case{"same.mp4", "1", 162, 92},
                        Case{"double.mkv", "2", 322, 182}, Case{"half.mp4", "0.5", 82, 46}}) {
    SCOPED_TRACE(c.video);
    const auto result =
        RunInProcess({"review", dir.File("odd.mkv"), dir.File("gt.txt"), dir.File("hyp.txt"),
                      "--threshold", "5", "--scale", c.scale, "--video", dir.File(c.video)});
    ASSERT_EQ(result.status, 0) << result.err;
    int width = 0;
    int height = 0;
    const auto frames = ReadFrames(dir.File(c.video), width, height);
    EXPECT_EQ(frames.size(), 12u);
    EXPECT_EQ(width, c.width);
    EXPECT_EQ(height, c.height);
    if (std::string(c.video) == "double.mkv") {
      // Frame 3's truth box (23, 60, 30 x 70) at twice the size: its white
      // ring runs down x = 46 from y = 120 on, the black margin stays black.
      const auto& frame = frames[2];
      const auto at = [&](int x, int y) {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return review::Rgb{frame[i], frame[i + 1], frame[i + 2]};
      };
      EXPECT_EQ(at(46, 150), review::kTruthColour);
      EXPECT_NE(at(45, 150), review::kTruthColour);
    }
  }
  const auto same = RunInProcess({"review", dir.File("odd.mkv"), dir.File("gt.txt"),
                                  dir.File("hyp.txt"), "--threshold", "5", "--first-frame", "4",
                                  "--count", "5", "--video", dir.File("part.mkv")});
  ASSERT_EQ(same.status, 0) << same.err;
  EXPECT_THAT(same.out, HasSubstr("5 frames of 161 x 91 at 25 per second (source frames 4 to 8)"));
  // Frames are never numbered past the largest number there is, however
  // many are asked for; a video that holds none of them writes nothing.
  const auto beyond = RunExpecting(
      1, {"review", dir.File("odd.mkv"), dir.File("gt.txt"), dir.File("hyp.txt"), "--threshold",
          "5", "--first-frame", "2147483646", "--count", "5", "--video", dir.File("far.mkv")});
  EXPECT_THAT(beyond.err, HasSubstr("no video was written"));
  EXPECT_FALSE(std::filesystem::exists(dir.File("far.mkv")));
}

TEST(ReviewCommand, AWrongCommandLineIsRefusedBeforeAnyFileIsRead) {
  const TempDir dir;
  const cli_test::InFolder inDir(dir.Path());
  const std::vector<std::vector<std::string>> cases = {
      {"review"},
      {"review", "src", "gt", "hyp", "--threshold", "5"},
      {"review", "src", "gt", "--video", "o.mkv", "--threshold", "5"},
      {"review", "src", "gt", "hyp", "--video", "o.avi", "--threshold", "5"},
      {"review", "src", "gt", "hyp", "--video", "o.mkv", "--metrics", "hota"},
      {"review", "src", "gt", "hyp", "--video", "o.mkv", "--threshold", "-1"},
      {"review", "src", "gt", "hyp", "--video", "o.mkv", "--iou", "0"},
      {"review", "src", "gt", "hyp", "--video", "o.mkv", "--iou", "1.5"},
      {"review", "src", "gt", "hyp", "--video", "o.mkv", "--iou", "0.5", "--threshold", "5"},
      {"review", "src", "gt", "hyp", "--video", "o.mkv", "--threshold", "5", "--protocol", "x"},
      {"review", "src", "gt", "hyp", "--video", "o.mkv", "--threshold", "5", "--scale", "0"},
      {"review", "src", "gt", "hyp", "--video", "o.mkv", "--threshold", "5", "--scale", "9"},
      {"review", "src", "gt", "hyp", "--video", "o.mkv", "--threshold", "5", "--jobs", "0"},
      {"review", "src", "gt", "hyp", "--video", "o.mkv", "--threshold", "5", "--count", "0"},
      {"review", "src", "gt", "hyp", "--video", "o.mkv", "--threshold", "5", "--rate", "x"},
      {"review", "src", "gt", "hyp", "--video", "o.mkv", "--threshold", "5", "--first-frame", "-2"},
  };
  for (const auto& args : cases)
    cli_test::ExpectUsageError(args);
  EXPECT_TRUE(FilesIn(dir.Path()).empty());
}

TEST(ReviewCommand, AFailureNamesItsCauseAndLeavesNoVideo) {
  const TempDir dir;
  ASSERT_TRUE(review_test::WriteGreyPictures(dir.File("img1"), 64, 48, 30));
  WriteOnePerson(dir);
  WriteText(dir.File("bad.txt"), "1,1,10,10,5,5,1,1\n2,1,ten,10,5,5,1,1\n");
  WriteText(dir.File("twice.txt"), "1,1,10,10,5,5,1,1\n1,2,10,10,5,5,1,1\n1,1,3,3,5,5,1,1\n");
  WriteText(dir.File("car.txt"), "1,1,10,10,5,5,1,1\n2,1,10,10,5,5,1,40\n");
  const std::string out = dir.File("review.mkv");
  const auto run = [&](const std::string& source, const std::string& truth,
                       const cli_test::Args& more = {}) {
    return RunInProcess(cli_test::Joined(
        {"review", source, truth, dir.File("hyp.txt"), "--threshold", "5", "--video", out}, more));
  };
  struct Case {
    cli_test::CliResult result;
    std::string said;
  };
  const std::string img1 = dir.File("img1");
  WriteText(img1 + "/000017.png", "not a picture");
  for (const Case& c : {
           Case{run(img1, dir.File("bad.txt")), dir.File("bad.txt") + ":2: "},
           Case{run(img1, dir.File("twice.txt")),
                dir.File("twice.txt") + ":3: id 1 is given twice in frame 1"},
           Case{run(img1, dir.File("car.txt")), dir.File("car.txt") + ":2: "},
           Case{run(img1, dir.File("none.txt")), dir.File("none.txt")},
           Case{run(dir.File("nothing"), dir.File("gt.txt")), dir.File("nothing")},
           Case{run(img1, dir.File("gt.txt"), {"--count", "31"}), "the source holds 30 frames"},
           Case{run(img1, dir.File("gt.txt")), img1 + "/000017.png: "},
       }) {
    EXPECT_EQ(c.result.status, 1) << c.result.err;
    EXPECT_THAT(c.result.err, HasSubstr(c.said));
    EXPECT_EQ(c.result.out, "");
  }
  // The video may not replace the source it reads.
  const std::string video = dir.File("src.mkv");
  ASSERT_EQ(review_test::WriteGreyVideo(video, 64, 48, 30, 25), std::nullopt);
  const auto size = std::filesystem::file_size(video);
  const auto over = RunExpecting(1, {"review", video, dir.File("gt.txt"), dir.File("hyp.txt"),
                                     "--threshold", "5", "--video", video});
  EXPECT_THAT(over.err, HasSubstr("refuses to write " + video));
  EXPECT_EQ(std::filesystem::file_size(video), size);
  // Nothing under the video's name nor beside it.
  EXPECT_EQ(FilesIn(dir.Path()),
            (std::vector<std::string>{"bad.txt", "car.txt", "gt.txt", "hyp.txt", "img1", "src.mkv",
                                      "twice.txt"}));
}

}  // namespace
