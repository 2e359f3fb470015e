// Frame files: the exact byte layout written, round trips for every row
// length, and how the reader and writer refuse what they cannot handle.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <vector>

#include "image/BmpFile.h"
#include "support/TempDir.h"
#include "ui/core/BinaryFile.h"

namespace {

std::vector<unsigned char> ReadAllBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAllBytes(const std::string& path, std::span<const unsigned char> bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// Bytes that differ from row to row and from pixel to pixel, so that a shifted,
// padded or reordered copy shows.
std::vector<unsigned char> PatternBytes(std::size_t count, unsigned seed) {
  std::vector<unsigned char> bytes(count);
  std::uint32_t state = seed * 2654435761u + 1;
  for (auto& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<unsigned char>(state >> 24);
  }
  return bytes;
}

std::uint32_t LoadU16(const std::vector<unsigned char>& bytes, std::size_t at) {
  return bytes.at(at) | bytes.at(at + 1) << 8;
}

std::uint32_t LoadU32(const std::vector<unsigned char>& bytes, std::size_t at) {
  return LoadU16(bytes, at) | LoadU16(bytes, at + 2) << 16;
}

void StoreU32(std::vector<unsigned char>& bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) {
    bytes.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
  }
}

// Both headers of a frame file as the format lays them out, built here field
// by field so that reader tests do not depend on the writer.
std::vector<unsigned char> Headers(std::int32_t width, std::int32_t height) {
  std::vector<unsigned char> bytes(54, 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  // The size field wraps like the 32-bit field it is; no reader consults it.
  const std::uint32_t pixelBytes =
      static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height) * 3u;
  StoreU32(bytes, 2, 54 + pixelBytes);
  StoreU32(bytes, 10, 54);
  StoreU32(bytes, 14, 40);
  StoreU32(bytes, 18, static_cast<std::uint32_t>(width));
  StoreU32(bytes, 22, static_cast<std::uint32_t>(height));
  bytes[26] = 1;
  bytes[28] = 24;
  return bytes;
}

// Open descriptors of this process: the same before and after a call means the
// call closed every file it opened.
int OpenDescriptorCount() {
  const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
  return static_cast<int>(std::distance(begin(entries), end(entries)));
}

TEST(WriteBmpFile, FullFrameHasEveryHeaderFieldAndTheBufferUnchanged) {
  TempDir dir;
  const std::string path = dir.FilePath("take9_0024.bmp");
  const std::vector<unsigned char> frame = PatternBytes(320 * 240 * 3, 1);

  WriteBmpFile(path.c_str(), frame, 320, 240);

  const std::vector<unsigned char> file = ReadAllBytes(path);
  ASSERT_EQ(file.size(), 230454u);
  EXPECT_EQ(file[0], 0x42);
  EXPECT_EQ(file[1], 0x4D);
  EXPECT_EQ(LoadU32(file, 2), 230454u);
  EXPECT_EQ(LoadU16(file, 6), 0u);
  EXPECT_EQ(LoadU16(file, 8), 0u);
  EXPECT_EQ(LoadU32(file, 10), 54u);
  EXPECT_EQ(LoadU32(file, 14), 40u);
  EXPECT_EQ(LoadU32(file, 18), 320u);
  EXPECT_EQ(LoadU32(file, 22), 240u);
  EXPECT_EQ(LoadU16(file, 26), 1u);
  EXPECT_EQ(LoadU16(file, 28), 24u);
  for (std::size_t i = 30; i < 54; ++i) {
    EXPECT_EQ(file[i], 0) << "header byte " << i;
  }
  EXPECT_TRUE(std::equal(frame.begin(), frame.end(), file.begin() + 54));
}

TEST(WriteBmpFile, RowsOfAnOddWidthAreNotPadded) {
  TempDir dir;
  const std::string path = dir.FilePath("odd.bmp");
  const std::vector<unsigned char> frame = PatternBytes(321 * 2 * 3, 2);

  WriteBmpFile(path.c_str(), frame, 321, 2);

  const std::vector<unsigned char> file = ReadAllBytes(path);
  ASSERT_EQ(file.size(), 1980u);
  EXPECT_EQ(LoadU32(file, 2), 1980u);
  EXPECT_EQ(LoadU32(file, 18), 321u);
  EXPECT_EQ(LoadU32(file, 22), 2u);
  // The second row follows the first at byte 54 + 963 with nothing between.
  EXPECT_TRUE(std::equal(frame.begin(), frame.end(), file.begin() + 54));
}

TEST(WriteBmpFile, EmptyFramesGiveAHeaderOnlyFile) {
  TempDir dir;
  const std::vector<unsigned char> none;
  const struct {
    int width;
    int height;
  } sizes[] = {{0, 0}, {0, 240}, {320, 0}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(testing::Message() << size.width << " x " << size.height);
    const std::string path = dir.FilePath("empty.bmp");
    WriteBmpFile(path.c_str(), none, size.width, size.height);
    const std::vector<unsigned char> file = ReadAllBytes(path);
    ASSERT_EQ(file.size(), 54u);
    EXPECT_EQ(LoadU32(file, 2), 54u);
    EXPECT_EQ(LoadU32(file, 18), static_cast<std::uint32_t>(size.width));
    EXPECT_EQ(LoadU32(file, 22), static_cast<std::uint32_t>(size.height));
  }
}

TEST(WriteBmpFile, ReplacesTheWholeContentOfAnExistingFile) {
  TempDir dir;
  const std::string path = dir.FilePath("again.bmp");
  WriteAllBytes(path, PatternBytes(5000, 3));
  const std::vector<unsigned char> frame = PatternBytes(2 * 2 * 3, 4);

  WriteBmpFile(path.c_str(), frame, 2, 2);

  const std::vector<unsigned char> file = ReadAllBytes(path);
  ASSERT_EQ(file.size(), 66u);
  EXPECT_EQ(LoadU32(file, 2), 66u);
  EXPECT_TRUE(std::equal(frame.begin(), frame.end(), file.begin() + 54));
}

TEST(WriteBmpFile, AMissingFolderLeavesNoFileAndReturnsQuietly) {
  TempDir dir;
  const std::string path = dir.FilePath("missing/take9_0024.bmp");
  const std::vector<unsigned char> frame = PatternBytes(4 * 4 * 3, 5);
  const int before = OpenDescriptorCount();

  WriteBmpFile(path.c_str(), frame, 4, 4);

  EXPECT_FALSE(std::filesystem::exists(dir.FilePath("missing")));
  EXPECT_EQ(OpenDescriptorCount(), before);
}

// Arguments that cannot describe a frame must neither create a file nor touch
// one that is already there: the write would read past the caller's buffer.
TEST(WriteBmpFile, RefusedArgumentsLeaveExistingAndMissingFilesAlone) {
  TempDir dir;
  const std::vector<unsigned char> old = PatternBytes(300, 6);
  const std::vector<unsigned char> frame = PatternBytes(4 * 4 * 3, 7);
  const struct {
    const char* what;
    std::size_t bytes;
    int width;
    int height;
  } cases[] = {
      {"negative width", frame.size(), -4, 4},
      {"negative height", frame.size(), 4, -4},
      {"both negative", frame.size(), -4, -4},
      {"count beyond 32 bits", frame.size(), 50000, 50000},
      {"count just beyond 32 bits", frame.size(), 715827883, 1},
      {"buffer one byte short", frame.size() - 1, 4, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string existing = dir.FilePath("existing.bmp");
    const std::string absent = dir.FilePath("absent.bmp");
    WriteAllBytes(existing, old);
    const std::span<const unsigned char> pixels(frame.data(), c.bytes);

    WriteBmpFile(existing.c_str(), pixels, c.width, c.height);
    WriteBmpFile(absent.c_str(), pixels, c.width, c.height);

    EXPECT_EQ(ReadAllBytes(existing), old);
    EXPECT_FALSE(std::filesystem::exists(absent));
  }
  WriteBmpFile(nullptr, frame, 4, 4);
}

TEST(WriteBmpFile, AFailingWritePassesThroughWithTheFileClosed) {
  const std::vector<unsigned char> frame = PatternBytes(8 * 8 * 3, 8);
  const int before = OpenDescriptorCount();

  // Every write to this device fails with "no space left".
  EXPECT_THROW(WriteBmpFile("/dev/full", frame, 8, 8), ui::FileException);

  EXPECT_EQ(OpenDescriptorCount(), before);
}

// Widths 1 to 4 give every remainder of the row length modulo 4.
TEST(ReadBmpFile, ReturnsWhatWasWrittenForEveryRowLength) {
  TempDir dir;
  const struct {
    int width;
    int height;
  } sizes[] = {{1, 3}, {2, 3}, {3, 2}, {4, 2}, {5, 7}, {321, 2}, {320, 240}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(testing::Message() << size.width << " x " << size.height);
    const std::string path = dir.FilePath("round.bmp");
    const std::vector<unsigned char> frame =
        PatternBytes(static_cast<std::size_t>(size.width * size.height * 3), 9);
    WriteBmpFile(path.c_str(), frame, size.width, size.height);

    // Room for four more bytes than the frame, which must keep their values.
    std::vector<unsigned char> buffer(frame.size() + 4, 0xAB);
    int width = -1;
    int height = -1;
    ReadBmpFile(path.c_str(), buffer, width, height);

    EXPECT_EQ(width, size.width);
    EXPECT_EQ(height, size.height);
    EXPECT_TRUE(std::equal(frame.begin(), frame.end(), buffer.begin()));
    EXPECT_TRUE(std::all_of(buffer.end() - 4, buffer.end(), [](auto b) { return b == 0xAB; }));
  }
}

TEST(ReadBmpFile, AnEmptyFrameFitsAnEmptyBuffer) {
  TempDir dir;
  const std::string path = dir.FilePath("empty.bmp");
  WriteAllBytes(path, Headers(0, 240));
  int width = -1;
  int height = -1;

  ReadBmpFile(path.c_str(), {}, width, height);

  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 240);
}

// Every refusal looks alike: first byte 0, width and height 0, the rest of the
// buffer as it was, and no file left open.
TEST(ReadBmpFile, RefusedFilesZeroTheFirstByteAndDimensionsOnly) {
  TempDir dir;
  constexpr std::size_t capacity = 4 * 3 * 3;
  const std::vector<unsigned char> pixels = PatternBytes(capacity, 10);
  const auto withPixels = [&](std::vector<unsigned char> bytes) {
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
  };
  std::vector<unsigned char> wrongSignature = withPixels(Headers(4, 3));
  wrongSignature[0] = 'M';
  wrongSignature[1] = 'B';
  std::vector<unsigned char> shortFileHeader = Headers(4, 3);
  shortFileHeader.resize(13);
  std::vector<unsigned char> shortInfoHeader = Headers(4, 3);
  shortInfoHeader.resize(14 + 39);

  const struct {
    const char* what;
    std::vector<unsigned char> bytes;
  } cases[] = {
      {"empty file", {}},
      {"13 bytes", shortFileHeader},
      {"wrong signature", wrongSignature},
      {"short information header", shortInfoHeader},
      {"negative width", withPixels(Headers(-4, 3))},
      {"negative height (top-down rows)", withPixels(Headers(4, -3))},
      {"both negative", withPixels(Headers(-4, -3))},
      {"one row more than the buffer holds", withPixels(Headers(4, 4))},
      {"largest dimensions", Headers(0x7FFFFFFF, 0x7FFFFFFF)},
  };
  const std::string missing = dir.FilePath("missing.bmp");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.FilePath("bad.bmp");
    WriteAllBytes(path, c.bytes);
    for (const std::string& name : {path, missing}) {
      std::vector<unsigned char> buffer(capacity, 0xCD);
      int width = 99;
      int height = 99;
      const int before = OpenDescriptorCount();

      ReadBmpFile(name.c_str(), buffer, width, height);

      EXPECT_EQ(buffer[0], 0);
      EXPECT_TRUE(std::all_of(buffer.begin() + 1, buffer.end(), [](auto b) { return b == 0xCD; }));
      EXPECT_EQ(width, 0);
      EXPECT_EQ(height, 0);
      EXPECT_EQ(OpenDescriptorCount(), before);
    }
  }
}

TEST(ReadBmpFile, AFrameThatExactlyFillsTheBufferIsAccepted) {
  TempDir dir;
  const std::string path = dir.FilePath("exact.bmp");
  const std::vector<unsigned char> frame = PatternBytes(4 * 3 * 3, 11);
  WriteBmpFile(path.c_str(), frame, 4, 3);

  std::vector<unsigned char> exact(frame.size());
  int width = 0;
  int height = 0;
  ReadBmpFile(path.c_str(), exact, width, height);
  EXPECT_EQ(width, 4);
  EXPECT_EQ(height, 3);
  EXPECT_EQ(exact, frame);

  std::vector<unsigned char> oneShort(frame.size() - 1, 0xCD);
  ReadBmpFile(path.c_str(), oneShort, width, height);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
  EXPECT_EQ(oneShort[0], 0);
}

TEST(ReadBmpFile, ARefusalNeverWritesThroughAnEmptySpan) {
  TempDir dir;
  const std::string path = dir.FilePath("bad.bmp");
  WriteAllBytes(path, std::vector<unsigned char>(20, 'x'));
  std::array<unsigned char, 4> storage = {5, 5, 5, 5};
  int width = 99;
  int height = 99;

  ReadBmpFile(path.c_str(), std::span<unsigned char>(storage.data(), 0), width, height);
  ReadBmpFile(nullptr, std::span<unsigned char>(storage.data(), 0), width, height);

  EXPECT_EQ(storage, (std::array<unsigned char, 4>{5, 5, 5, 5}));
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
}

// A colour table or a larger information header moves the offset field, but
// frame files always carry their pixels from byte 54; bytes after the pixel
// block are not read.
TEST(ReadBmpFile, PixelsComeFromByte54WhateverTheOffsetFieldSays) {
  TempDir dir;
  const std::string path = dir.FilePath("offset.bmp");
  const std::vector<unsigned char> frame = PatternBytes(3 * 2 * 3, 12);
  std::vector<unsigned char> bytes = Headers(3, 2);
  StoreU32(bytes, 10, 1078);
  StoreU32(bytes, 14, 124);
  bytes.insert(bytes.end(), frame.begin(), frame.end());
  bytes.insert(bytes.end(), 100, 0x77);
  WriteAllBytes(path, bytes);

  std::vector<unsigned char> buffer(frame.size() + 10, 0xCD);
  int width = 0;
  int height = 0;
  ReadBmpFile(path.c_str(), buffer, width, height);

  EXPECT_EQ(width, 3);
  EXPECT_EQ(height, 2);
  EXPECT_TRUE(std::equal(frame.begin(), frame.end(), buffer.begin()));
  EXPECT_TRUE(std::all_of(buffer.begin() + 18, buffer.end(), [](auto b) { return b == 0xCD; }));
}

TEST(ReadBmpFile, AShortPixelBlockReplacesOnlyTheBytesPresent) {
  TempDir dir;
  const std::string path = dir.FilePath("short.bmp");
  const std::vector<unsigned char> frame = PatternBytes(4 * 2 * 3, 13);
  WriteBmpFile(path.c_str(), frame, 4, 2);
  std::filesystem::resize_file(path, 54 + 10);

  std::vector<unsigned char> buffer(frame.size(), 0xCD);
  int width = 0;
  int height = 0;
  const int before = OpenDescriptorCount();
  ReadBmpFile(path.c_str(), buffer, width, height);

  EXPECT_EQ(width, 4);
  EXPECT_EQ(height, 2);
  EXPECT_TRUE(std::equal(frame.begin(), frame.begin() + 10, buffer.begin()));
  EXPECT_TRUE(std::all_of(buffer.begin() + 10, buffer.end(), [](auto b) { return b == 0xCD; }));
  EXPECT_EQ(OpenDescriptorCount(), before);
}

}  // namespace
