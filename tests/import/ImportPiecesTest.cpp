// The pieces an import is made of: natural order, file patterns, frames made
// on several threads and used in order, the series written.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <sstream>
#include <thread>

#include "geometry/GeometryFile.h"
#include "image/SeriesFrames.h"
#include "import/ImportSource.h"
#include "import/OrderedWork.h"
#include "import/SeriesWriter.h"
#include "support/TempDir.h"
#include "support/TextFiles.h"

using namespace cli;

namespace {

TEST(ImportSource, NaturalOrderComparesRunsOfDigitsAsNumbers) {
  std::vector<std::string> names = {"img10.png",
                                    "img2.png",
                                    "img1.png",
                                    "img01.png",
                                    "a99999999999999999999.png",
                                    "a100000000000000000000.png",
                                    "img2b.png",
                                    "img2a.png",
                                    "b.png"};
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return NaturalLess(a, b); });
  EXPECT_EQ(names,
            (std::vector<std::string>{"a99999999999999999999.png", "a100000000000000000000.png",
                                      "b.png", "img01.png", "img1.png", "img2.png", "img2a.png",
                                      "img2b.png", "img10.png"}));
}

TEST(ImportSource, PatternsTakeExactlyOneIntegerConversion) {
  struct Case {
    std::string text;
    bool valid;
    std::string name7;  // the file for number 7
  };
  const std::vector<Case> cases = {
      {"frames/%06d.jpg", true, "frames/000007.jpg"},
      {"f%012d.png", true, "f000000000007.png"},
      {"f%d.png", true, "f7.png"},
      {"100%%_%3i.bmp", true, "100%_  7.bmp"},
      {"f.png", false, ""},
      {"f%d_%d.png", false, ""},
      {"f%s.png", false, ""},
      {"f%x.png", false, ""},
      {"f%123d.png", false, ""},
      {"f%", false, ""},
      {"d%d/f%d.png", false, ""},
  };
  for (const Case& c : cases) {
    FramePattern pattern;
    const auto problem = ParsePattern(c.text, pattern);
    EXPECT_EQ(!problem, c.valid) << c.text;
    if (c.valid) {
      EXPECT_EQ(PatternFile(pattern, 7), c.name7);
    }
  }
}

// The lowest number present is found from the folder's names, exactly as
// the pattern writes them; the list ends at the first missing number.
TEST(ImportSource, PatternFramesRunFromTheLowestNumberToTheFirstGap) {
  const TempDir dir;
  for (const char* name :
       {"f0003.png", "f0004.png", "f0005.png", "f0007.png", "f12.png", "f0002.txt", "g0001.png"})
    test_files::WriteText(dir.Path() / name, "x");
  FramePattern pattern;
  ASSERT_EQ(ParsePattern(dir.File("f%04d.png"), pattern), std::nullopt);
  SourceFrames frames;
  ASSERT_EQ(ListPatternFrames(pattern, std::nullopt, 100, frames), std::nullopt);
  EXPECT_EQ(frames.firstNumber, 3);
  EXPECT_EQ(frames.paths, (std::vector<std::string>{dir.File("f0003.png"), dir.File("f0004.png"),
                                                    dir.File("f0005.png")}));
  ASSERT_EQ(ListPatternFrames(pattern, 7, 100, frames), std::nullopt);
  EXPECT_EQ(frames.paths.size(), 1u);
  EXPECT_NE(ListPatternFrames(pattern, 6, 100, frames), std::nullopt);
  EXPECT_NE(ListPatternFrames(pattern, std::nullopt, 2, frames), std::nullopt);
  ASSERT_EQ(ParsePattern(dir.File("h%d.png"), pattern), std::nullopt);
  EXPECT_NE(ListPatternFrames(pattern, std::nullopt, 100, frames), std::nullopt);
  // Wider than any int: found all the same.
  test_files::WriteText(dir.Path() / "w000000000042.png", "x");
  ASSERT_EQ(ParsePattern(dir.File("w%012d.png"), pattern), std::nullopt);
  ASSERT_EQ(ListPatternFrames(pattern, std::nullopt, 100, frames), std::nullopt);
  EXPECT_EQ(frames.firstNumber, 42);
}

TEST(ImportSource, FolderNumbersCountFromTheFirstNameOnlyWhenConsecutive) {
  const TempDir dir;
  const std::vector<std::string> endings = {"png", "jpg"};
  for (const char* name : {"000010.jpg", "000011.JPG", "000012.png", "notes.txt"})
    test_files::WriteText(dir.Path() / name, "x");
  SourceFrames frames;
  ASSERT_EQ(ListFolderFrames(dir.Path().string(), endings, frames), std::nullopt);
  EXPECT_EQ(frames.paths.size(), 3u);
  EXPECT_EQ(frames.firstNumber, 10);
  EXPECT_EQ(frames.note, std::nullopt);
  test_files::WriteText(dir.Path() / "000014.png", "x");
  ASSERT_EQ(ListFolderFrames(dir.Path().string(), endings, frames), std::nullopt);
  EXPECT_EQ(frames.firstNumber, 1);
  EXPECT_NE(frames.note, std::nullopt);
  const TempDir empty;
  test_files::WriteText(empty.Path() / "readme.txt", "x");
  EXPECT_NE(ListFolderFrames(empty.Path().string(), endings, frames), std::nullopt);
}

// Items made out of order on several threads are used in order; the first
// failure in item order ends the run, whatever finished first.
TEST(OrderedWork, ItemsAreUsedInOrderUpToTheFirstFailure) {
  for (const int failAt : {-1, 0, 37, 99}) {
    SCOPED_TRACE(failAt);
    std::vector<int> used;
    std::atomic<int> made = 0;
    const auto make = [&](int index,
                          std::vector<std::uint8_t>& buffer) -> std::optional<std::string> {
      ++made;
      // Later items finish sooner, so order comes from the run, not timing.
      std::this_thread::sleep_for(std::chrono::microseconds((100 - index) % 7 * 50));
      if (index == failAt)
        return "item " + std::to_string(index);
      buffer.assign(1, static_cast<std::uint8_t>(index));
      return std::nullopt;
    };
    const auto use = [&](int index,
                         const std::vector<std::uint8_t>& buffer) -> std::optional<std::string> {
      EXPECT_EQ(buffer.at(0), static_cast<std::uint8_t>(index));
      used.push_back(index);
      return std::nullopt;
    };
    const auto failure = MakeAndUseInOrder(100, 3, make, use);
    const int expected = failAt < 0 ? 100 : failAt;
    ASSERT_EQ(used.size(), static_cast<std::size_t>(expected));
    for (int i = 0; i < expected; ++i)
      EXPECT_EQ(used[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(failure.has_value(), failAt >= 0);
    if (failure) {
      EXPECT_EQ(failure->reason, "item " + std::to_string(failAt));
    }
    // No item far past the failure is made: the window stays small.
    EXPECT_LE(made.load(), expected + 1 + 3 * 4);
  }
  // A failure to use an item stops the run too; an exception is a failure.
  const auto throwing = [](int index, std::vector<std::uint8_t>&) -> std::optional<std::string> {
    if (index == 5)
      throw std::runtime_error("no memory");
    return std::nullopt;
  };
  const auto refuseThird = [](int index, const std::vector<std::uint8_t>&) {
    return index == 2 ? std::optional<std::string>("disk full") : std::nullopt;
  };
  EXPECT_EQ(MakeAndUseInOrder(10, 2, throwing, refuseThird)->index, 2);
  const auto failure = MakeAndUseInOrder(
      10, 2, throwing, [](int, const auto&) -> std::optional<std::string> { return std::nullopt; });
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->index, 5);
  EXPECT_EQ(failure->reason, "no memory");
}

// The geometry goes in with the first frame and the folder is made for it; a
// run whose first frame cannot be written leaves neither behind, and one that
// wrote frames says which are complete.
TEST(SeriesWriter, WritesTheGeometryWithTheFirstFrameAndLeavesNothingWithoutOne) {
  TempDir dir;
  const std::vector<std::uint8_t> frame(series::kFrameBytes, 7);
  FrameGeometry geometry;
  geometry.firstFrame = 5;
  {
    SeriesWriter writer(dir.File("made/deeper/run"), geometry);
    EXPECT_EQ(writer.CompletedText(), "no frame was written");
    EXPECT_FALSE(std::filesystem::exists(writer.GeometryFile()));
    ASSERT_EQ(writer.Add(frame), std::nullopt);
    EXPECT_EQ(writer.CompletedText(), dir.File("made/deeper/run_0005.bmp") + " is complete");
    ASSERT_EQ(writer.Add(frame), std::nullopt);
    EXPECT_EQ(writer.Files().back(), dir.File("made/deeper/run_0006.bmp"));
    EXPECT_EQ(writer.CompletedText(), dir.File("made/deeper/run_0005.bmp") + " to " +
                                          dir.File("made/deeper/run_0006.bmp") + " are complete");
    EXPECT_EQ(test_files::ReadText(writer.GeometryFile()), GeometryText(geometry));
  }
  EXPECT_EQ(std::filesystem::file_size(dir.File("made/deeper/run_0006.bmp")),
            series::kFrameFileBytes);

  // A frame of the wrong size is refused after the folder and the geometry
  // were made for it: both go again.
  {
    SeriesWriter writer(dir.File("other/run"), geometry);
    EXPECT_NE(writer.Add(std::span(frame).first(10)), std::nullopt);
    EXPECT_EQ(writer.Written(), 0);
    EXPECT_FALSE(std::filesystem::exists(writer.GeometryFile()));
  }
  EXPECT_FALSE(std::filesystem::exists(dir.File("other")));
}

}  // namespace
