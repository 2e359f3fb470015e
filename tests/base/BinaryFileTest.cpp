// The binary file object: opening regular files only, counted reads,
// create-or-truncate, closing on every way out, and a failed write surfacing
// as an exception.

#include "base/BinaryFile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using Mode = base::BinaryFile::Mode;

// The number of file descriptors this process holds.
long OpenDescriptors() {
  return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
}

TEST(BinaryFile, OpensRegularFilesOnlyTruncatesOnCreateAndCountsWhatItReads) {
  TempDir dir;
  const std::string path = dir.File("ten.bin");
  base::BinaryFile file;
  // A folder would open and fail only later, inside Read. (A pipe, which would
  // stall the player, is tried in a child process by the player's tests.)
  EXPECT_FALSE(file.Open(path.c_str(), Mode::Read));
  EXPECT_FALSE(file.Open(dir.Path().c_str(), Mode::Read));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.Open(dir.File("no/dir.bin").c_str(), Mode::CreateTruncate));

  std::ofstream(path) << std::string(100, 'x');
  ASSERT_TRUE(file.Open(path.c_str(), Mode::CreateTruncate));
  EXPECT_EQ(fs::file_size(path), 0u);
  file.Write("0123456789", 10);
  ASSERT_TRUE(file.Open(path.c_str(), Mode::Read));  // closes the written file first
  char buffer[16] = {};
  EXPECT_EQ(file.Read(buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 4), "0123");
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 6u);  // fewer at the end
  EXPECT_EQ(std::string(buffer, 6), "456789");
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
}

TEST(BinaryFile, TheFileIsClosedOnEveryWayOut) {
  TempDir dir;
  const std::string path = dir.File("f.bin");
  std::ofstream(path) << "data";
  const long before = OpenDescriptors();
  {
    base::BinaryFile file;
    ASSERT_TRUE(file.Open(path.c_str(), Mode::Read));
    ASSERT_TRUE(file.Open(path.c_str(), Mode::Read));  // replaces, not adds
    file.Close();
    ASSERT_TRUE(file.Open(path.c_str(), Mode::Read));
  }
  EXPECT_EQ(OpenDescriptors(), before);

  // A write to a full device throws, and the file is closed all the same.
  if (!fs::exists("/dev/full"))
    GTEST_SKIP() << "no /dev/full on this machine";
  const std::vector<char> frame(4096, 'x');
  try {
    base::BinaryFile file;
    ASSERT_TRUE(file.Open("/dev/full", Mode::CreateTruncate));
    file.Write(frame.data(), frame.size());
    ADD_FAILURE() << "a write to a full device returned normally";
  } catch (const base::FileException& error) {
    EXPECT_EQ(error.Error(), ENOSPC);
    EXPECT_STREQ(error.what(), "File error on \"/dev/full\": No space left on device");
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
