// The binary file object: opening, counted reads, create-or-truncate, closing
// on every way out, and a failed write surfacing as an exception.

#include "ui/core/BinaryFile.h"

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

// The number of file descriptors this process holds.
long OpenDescriptors() {
  return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST(BinaryFile, OpeningAMissingFileFailsWithoutThrowing) {
  TempDir dir;
  ui::BinaryFile file;
  EXPECT_FALSE(file.Open(dir.FilePath("missing.bin").c_str(), ui::BinaryFile::Mode::Read));
  EXPECT_FALSE(file.IsOpen());
  EXPECT_FALSE(file.Open(dir.FilePath("no/dir.bin").c_str(), ui::BinaryFile::Mode::CreateTruncate));
}

TEST(BinaryFile, ReadsReturnHowManyBytesCameAndFewerAtTheEnd) {
  TempDir dir;
  const std::string path = dir.FilePath("ten.bin");
  WriteFile(path, "0123456789");
  ui::BinaryFile file;
  ASSERT_TRUE(file.Open(path.c_str(), ui::BinaryFile::Mode::Read));
  char buffer[16] = {};
  EXPECT_EQ(file.Read(buffer, 0), 0u);
  EXPECT_EQ(file.Read(buffer, 4), 4u);
  EXPECT_EQ(std::string(buffer, 4), "0123");
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 6u);
  EXPECT_EQ(std::string(buffer, 6), "456789");
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
}

TEST(BinaryFile, CreateEmptiesAnExistingFile) {
  TempDir dir;
  const std::string path = dir.FilePath("old.bin");
  WriteFile(path, std::string(100, 'x'));
  {
    ui::BinaryFile file;
    ASSERT_TRUE(file.Open(path.c_str(), ui::BinaryFile::Mode::CreateTruncate));
    EXPECT_EQ(fs::file_size(path), 0u);
    file.Write("abc", 3);
  }
  EXPECT_EQ(fs::file_size(path), 3u);
}

TEST(BinaryFile, TheFileIsClosedOnEveryWayOut) {
  TempDir dir;
  const std::string path = dir.FilePath("f.bin");
  WriteFile(path, "data");
  const long before = OpenDescriptors();
  {
    ui::BinaryFile file;
    ASSERT_TRUE(file.Open(path.c_str(), ui::BinaryFile::Mode::Read));
    EXPECT_EQ(OpenDescriptors(), before + 1);
    ASSERT_TRUE(file.Open(path.c_str(), ui::BinaryFile::Mode::Read));  // replaces, not adds
    EXPECT_EQ(OpenDescriptors(), before + 1);
  }
  EXPECT_EQ(OpenDescriptors(), before);
  ui::BinaryFile closed;
  ASSERT_TRUE(closed.Open(path.c_str(), ui::BinaryFile::Mode::Read));
  closed.Close();
  EXPECT_EQ(OpenDescriptors(), before);
}

TEST(BinaryFile, AWriteToAFullDeviceThrowsAndStillCloses) {
  if (!fs::exists("/dev/full"))
    GTEST_SKIP() << "no /dev/full on this machine";
  const long before = OpenDescriptors();
  const std::vector<char> frame(4096, 'x');
  try {
    ui::BinaryFile file;
    ASSERT_TRUE(file.Open("/dev/full", ui::BinaryFile::Mode::CreateTruncate));
    file.Write(frame.data(), frame.size());
    ADD_FAILURE() << "a write to a full device returned normally";
  } catch (const ui::FileException& error) {
    EXPECT_EQ(error.Error(), ENOSPC);
    EXPECT_EQ(error.FileName(), "/dev/full");
    EXPECT_STREQ(error.what(), "File error on \"/dev/full\": No space left on device");
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

// Fault: BinaryFile::Open opens a folder for reading (open(2) with O_RDONLY accepts
// a directory), so a folder named where a frame or track file is expected
// passes Open and only fails later, inside Read, as an exception ("Is a
// directory"). Open should fstat the new descriptor and, for a directory,
// close it and return false, as for any file that cannot be opened.
TEST(BinaryFile, OpeningAFolderFails) {
  TempDir dir;
  ui::BinaryFile file;
  EXPECT_FALSE(file.Open(dir.Path().c_str(), ui::BinaryFile::Mode::Read));
  EXPECT_FALSE(file.IsOpen());
}

}  // namespace
