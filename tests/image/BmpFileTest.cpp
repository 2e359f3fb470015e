// Frame files: the exact bytes written, round trips for every row length, and
// how the reader and writer refuse what they cannot handle.

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "ImageTestSupport.h"
#include "base/BinaryFile.h"
#include "image/BmpFile.h"
#include "support/TempDir.h"
#include "support/TextFiles.h"

namespace {

using Bytes = std::vector<unsigned char>;
using image_test::AllAre;
using image_test::PatternBytes;
using test_files::ReadBytes;
using test_files::WriteBytes;

void StoreU32(Bytes& bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) {
    bytes.at(at + i) = static_cast<unsigned char>(value >> (8 * i));
  }
}

// Both headers as the format lays them out, built here field by field so that
// neither side is checked against itself: "BM", bfSize, bfOffBits 54, biSize
// 40, width, height, planes 1, 24 bits, every other byte 0.
Bytes Headers(std::int32_t width, std::int32_t height) {
  Bytes bytes(54, 0);
  bytes[0] = 'B';
  bytes[1] = 'M';
  // Wraps like the 32-bit field it is; no reader consults it.
  StoreU32(bytes, 2,
           54 + static_cast<std::uint32_t>(width) * static_cast<std::uint32_t>(height) * 3);
  StoreU32(bytes, 10, 54);
  StoreU32(bytes, 14, 40);
  StoreU32(bytes, 18, static_cast<std::uint32_t>(width));
  StoreU32(bytes, 22, static_cast<std::uint32_t>(height));
  bytes[26] = 1;
  bytes[28] = 24;
  return bytes;
}

// The same count before and after a call means it closed every file it opened.
long OpenDescriptorCount() {
  const std::filesystem::directory_iterator entries("/proc/self/fd");
  return std::distance(begin(entries), end(entries));
}

// Each frame is written over a longer existing file, which it must replace
// whole; widths 1 to 4 give every remainder of the row length modulo 4.
TEST(BmpFile, WritesHeadersAndUnpaddedRowsAndReadsThemBack) {
  const TempDir dir;
  const std::string path = dir.File("take9_0024.bmp");
  const std::pair<int, int> sizes[] = {{320, 240}, {321, 2}, {0, 0}, {0, 240}, {320, 0},
                                       {1, 3},     {2, 3},   {3, 2}, {4, 2},   {5, 7}};
  for (const auto& [width, height] : sizes) {
    SCOPED_TRACE(testing::Message() << width << " x " << height);
    WriteBytes(path, PatternBytes(5000, 1));
    const Bytes frame = PatternBytes(static_cast<std::size_t>(width * height * 3), width);

    WriteBmpFile(path.c_str(), frame, width, height);

    Bytes expected = Headers(width, height);
    expected.insert(expected.end(), frame.begin(), frame.end());
    EXPECT_EQ(ReadBytes(path), expected);

    Bytes buffer(frame.size(), 0xCD);  // exactly the room the frame needs
    int readWidth = -1;
    int readHeight = -1;
    ReadBmpFile(path.c_str(), buffer, readWidth, readHeight);
    EXPECT_EQ(readWidth, width);
    EXPECT_EQ(readHeight, height);
    EXPECT_EQ(buffer, frame);
  }
}

TEST(WriteBmpFile, FailuresLeaveNoFileBehindAndNoFileOpen) {
  const TempDir dir;
  const Bytes frame = PatternBytes(8 * 8 * 3, 2);
  const long before = OpenDescriptorCount();
  // A missing folder: quietly nothing.
  WriteBmpFile(dir.File("missing/take9_0024.bmp").c_str(), frame, 8, 8);
  EXPECT_FALSE(std::filesystem::exists(dir.File("missing")));
  // Every write to this device fails with "no space left": it passes through.
  EXPECT_THROW(WriteBmpFile("/dev/full", frame, 8, 8), base::FileException);
  EXPECT_EQ(OpenDescriptorCount(), before);
}

// Arguments that cannot describe a frame neither create a file nor touch one
// that is there: the write would read past the caller's buffer.
TEST(WriteBmpFile, RefusedArgumentsLeaveExistingAndMissingFilesAlone) {
  const TempDir dir;
  const Bytes old = PatternBytes(300, 3);
  const Bytes frame = PatternBytes(4 * 4 * 3, 4);
  const std::string existing = dir.File("existing.bmp");
  const std::string absent = dir.File("absent.bmp");
  const struct {
    std::size_t bytes;
    int width, height;
  } cases[] = {
      {48, -4, 4},        {48, 4, -4},        {48, -4, -4},  // negative sizes
      {48, 50000, 50000}, {48, 715827883, 1},                // counts beyond 32 bits
      {47, 4, 4},                                            // a buffer one byte short
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << ", " << c.bytes << " bytes");
    WriteBytes(existing, old);
    const std::span<const unsigned char> pixels(frame.data(), c.bytes);
    WriteBmpFile(existing.c_str(), pixels, c.width, c.height);
    WriteBmpFile(absent.c_str(), pixels, c.width, c.height);
    EXPECT_EQ(ReadBytes(existing), old);
    EXPECT_FALSE(std::filesystem::exists(absent));
  }
  WriteBmpFile(nullptr, frame, 4, 4);
}

// Every refusal looks alike: first byte 0, width and height 0, the rest of the
// buffer as it was, and no file left open.
TEST(ReadBmpFile, RefusedFilesZeroTheFirstByteAndDimensionsOnly) {
  const TempDir dir;
  constexpr std::size_t capacity = 4 * 3 * 3;
  const auto withPixels = [](Bytes bytes) {
    const Bytes pixels = PatternBytes(capacity, 5);
    bytes.insert(bytes.end(), pixels.begin(), pixels.end());
    return bytes;
  };
  const Bytes good = withPixels(Headers(4, 3));
  Bytes wrongSignature = good;
  std::swap(wrongSignature[0], wrongSignature[1]);
  const Bytes cases[] = {
      {},
      Bytes(good.begin(), good.begin() + 13),       // short file header
      wrongSignature,                               // "MB"
      Bytes(good.begin(), good.begin() + 14 + 39),  // short information header
      withPixels(Headers(-4, 3)),
      withPixels(Headers(4, -3)),  // top-down rows
      withPixels(Headers(-4, -3)),
      withPixels(Headers(4, 4)),  // one row more than the buffer holds
      Headers(0x7FFFFFFF, 0x7FFFFFFF),
  };
  const std::string path = dir.File("bad.bmp");
  const std::string missing = dir.File("missing.bmp");
  for (const Bytes& file : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&file - cases));
    WriteBytes(path, file);
    for (const std::string& name : {path, missing}) {
      Bytes buffer(capacity, 0xCD);
      int width = 99;
      int height = 99;
      const long before = OpenDescriptorCount();
      ReadBmpFile(name.c_str(), buffer, width, height);
      EXPECT_EQ(buffer[0], 0);
      EXPECT_TRUE(AllAre(std::span(buffer).subspan(1), 0xCD));
      EXPECT_EQ(width, 0);
      EXPECT_EQ(height, 0);
      EXPECT_EQ(OpenDescriptorCount(), before);
    }
  }
  // With no room at all, not even the first byte is written.
  unsigned char storage = 5;
  int width = 99;
  int height = 99;
  ReadBmpFile(path.c_str(), std::span(&storage, 0), width, height);
  ReadBmpFile(nullptr, std::span(&storage, 0), width, height);
  EXPECT_EQ(storage, 5);
  EXPECT_EQ(width, 0);
  EXPECT_EQ(height, 0);
}

// Pixels come from byte 54 whatever the offset field says (a colour table or a
// larger information header would move it); only the bytes the header
// promises are read, and a short block replaces only the bytes present.
TEST(ReadBmpFile, TakesPixelsFromByte54AndOnlyAsManyAsThereAre) {
  const TempDir dir;
  const std::string path = dir.File("frame.bmp");
  // width, height, pixel bytes present, bytes after them, buffer size
  for (const auto& [width, height, present, after, capacity] :
       {std::array<int, 5>{3, 2, 18, 100, 28}, {4, 2, 10, 0, 24}}) {
    SCOPED_TRACE(testing::Message() << present << " pixel bytes of " << width * height * 3);
    Bytes file = Headers(width, height);
    StoreU32(file, 10, 1078);
    StoreU32(file, 14, 124);
    const Bytes pixels = PatternBytes(present, width);
    file.insert(file.end(), pixels.begin(), pixels.end());
    file.insert(file.end(), after, 0x77);
    WriteBytes(path, file);

    Bytes buffer(capacity, 0xCD);
    int readWidth = 0;
    int readHeight = 0;
    const long before = OpenDescriptorCount();
    ReadBmpFile(path.c_str(), buffer, readWidth, readHeight);
    EXPECT_EQ(readWidth, width);
    EXPECT_EQ(readHeight, height);
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), buffer.begin()));
    EXPECT_TRUE(AllAre(std::span(buffer).subspan(present), 0xCD));
    EXPECT_EQ(OpenDescriptorCount(), before);
  }
}

}  // namespace
