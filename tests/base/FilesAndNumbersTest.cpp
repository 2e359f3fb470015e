// The file and number helpers every layer uses: whole-text numbers, output
// files written whole or not at all, and input files read with a bound.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

#include "base/AtomicFile.h"
#include "base/InputFile.h"
#include "base/NumberText.h"
#include "support/FolderEntries.h"
#include "support/TempDir.h"
#include "support/TextFiles.h"

using test_files::ReadText;
using test_files::WriteText;

namespace {

TEST(BaseFiles, NumbersAreReadWholeAndInRange) {
  EXPECT_EQ(base::ParseInt("+42"), 42);
  EXPECT_EQ(base::ParseInt("-7"), -7);
  EXPECT_EQ(base::ParseInt("2147483647"), INT_MAX);
  EXPECT_EQ(base::ParseInt("-2147483648"), INT_MIN);
  for (const char* bad : {"", "+", "-", "+-5", "2147483648", "12a", " 1", "1 ", "0x10", "1.0"})
    EXPECT_EQ(base::ParseInt(bad), std::nullopt) << bad;
  EXPECT_EQ(base::ParseDouble("+5"), 5.0);
  EXPECT_EQ(base::ParseDouble("-0.25"), -0.25);
  EXPECT_EQ(base::ParseDouble("1e3"), 1000.0);
  for (const char* bad : {"", "five", "5.5.5", "nan", "inf", "-inf", "1e999", "5 "})
    EXPECT_EQ(base::ParseDouble(bad), std::nullopt) << bad;
}

TEST(BaseFiles, AnAtomicWriteLeavesTheWholeFileOrNothing) {
  const TempDir dir;
  const std::string path = dir.File("tracks.txt");
  EXPECT_EQ(base::WriteFileAtomically(path, "first\n"), std::nullopt);
  EXPECT_EQ(base::WriteFileAtomically(path, "second\n"), std::nullopt);
  EXPECT_EQ(ReadText(path), "second\n");
  const auto permissions = std::filesystem::status(path).permissions();
  EXPECT_NE(permissions & std::filesystem::perms::owner_read, std::filesystem::perms::none);

  const std::string inMissingFolder = dir.File("none/tracks.txt");
  const auto error = base::WriteFileAtomically(inMissingFolder, "x");
  ASSERT_TRUE(error.has_value());
  EXPECT_NE(error->find(inMissingFolder), std::string::npos);

  // A folder in the way: the rename fails and the temporary file goes.
  std::filesystem::create_directories(dir.File("folder/inside"));
  EXPECT_TRUE(base::WriteFileAtomically(dir.File("folder"), "x").has_value());
  EXPECT_EQ(FilesIn(dir.Path()), (std::vector<std::string>{"folder", "tracks.txt"}));
}

// A bounded read takes a file of up to the limit whole and refuses anything
// longer, a folder, a pipe (without waiting for a writer) or nothing at all.
TEST(BaseFiles, ABoundedReadTakesRegularFilesUpToTheLimit) {
  const TempDir dir;
  const std::string pipe = dir.File("pipe");
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  WriteText(dir.File("empty"), "");
  WriteText(dir.File("at-limit"), "12345");
  WriteText(dir.File("over-limit"), "123456");
  struct Case {
    std::string path, content;
    std::size_t limit;
    std::string problem;  // empty: read whole
  };
  const std::vector<Case> cases = {
      {dir.File("empty"), "", 0, ""},
      {dir.File("at-limit"), "12345", 5, ""},
      {dir.File("over-limit"), "", 5, "larger than 5 bytes; not read"},
      {dir.Path().string(), "", 5, "not a regular file (a folder)"},
      {pipe, "", 5, "not a regular file (a FIFO)"},
      {dir.File("none"), "", 5, "missing"},
  };
  for (const Case& c : cases) {
    std::string text = "old";
    const auto fault = base::ReadWholeFile(c.path, c.limit, text);
    EXPECT_EQ(fault ? fault->Describe() : "", c.problem) << c.path;
    if (c.problem.empty()) {
      EXPECT_EQ(text, c.content);
    }
  }
}

}  // namespace
