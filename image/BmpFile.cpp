#include "image/BmpFile.h"
#include "image/ImageBytes.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "base/BinaryFile.h"

namespace {

using FileHeader = std::array<unsigned char, BMP_FILE_HEADER_BYTES>;
using InfoHeader = std::array<unsigned char, BMP_INFO_HEADER_BYTES>;

// Field offsets within the file header.
constexpr std::size_t BF_TYPE = 0;
constexpr std::size_t BF_SIZE = 2;
constexpr std::size_t BF_OFF_BITS = 10;

// Field offsets within the information header. The fields not named here
// (compression, image size, resolutions, colour counts) are always 0.
constexpr std::size_t BI_SIZE = 0;
constexpr std::size_t BI_WIDTH = 4;
constexpr std::size_t BI_HEIGHT = 8;
constexpr std::size_t BI_PLANES = 12;
constexpr std::size_t BI_BIT_COUNT = 14;

// Stores value as Bytes little-endian bytes at offset, independent of the
// host's byte order. Signed fields arrive here as their two's complement.
template <std::size_t Bytes, std::size_t N>
constexpr void StoreLittleEndian(std::array<unsigned char, N>& block, std::size_t offset,
                                 std::uint32_t value) {
  static_assert(Bytes <= 4);
  for (std::size_t i = 0; i < Bytes; ++i) {
    block[offset + i] = static_cast<unsigned char>(value >> (8 * i));
  }
}

template <std::size_t Bytes, std::size_t N>
constexpr std::uint32_t LoadLittleEndian(const std::array<unsigned char, N>& block,
                                         std::size_t offset) {
  static_assert(Bytes <= 4);
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < Bytes; ++i) {
    value |= static_cast<std::uint32_t>(block[offset + i]) << (8 * i);
  }
  return value;
}

// The pixel-block size of a stored frame if it fits the caller's buffer. Two
// 31-bit dimensions times 3 stay below 2^64, so the unsigned product is exact.
std::optional<std::size_t> ReadablePixelBytes(std::int32_t width, std::int32_t height,
                                              std::size_t capacity) {
  if (width < 0 || height < 0) {
    return std::nullopt;
  }
  const std::uint64_t bytes =
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) * BYTES_PER_PIXEL;
  if (bytes > capacity) {
    return std::nullopt;
  }
  return static_cast<std::size_t>(bytes);
}

}  // namespace

BmpHeaders MakeBmpHeaders(int width, int height) {
  const std::size_t pixelBytes = ImageBytes(width, height).value_or(0);

  InfoHeader infoHeader{};
  StoreLittleEndian<4>(infoHeader, BI_SIZE, BMP_INFO_HEADER_BYTES);
  StoreLittleEndian<4>(infoHeader, BI_WIDTH, static_cast<std::uint32_t>(width));
  StoreLittleEndian<4>(infoHeader, BI_HEIGHT, static_cast<std::uint32_t>(height));
  StoreLittleEndian<2>(infoHeader, BI_PLANES, 1);
  StoreLittleEndian<2>(infoHeader, BI_BIT_COUNT, 24);

  // The two reserved fields stay 0.
  FileHeader fileHeader{};
  StoreLittleEndian<2>(fileHeader, BF_TYPE, BMP_SIGNATURE);
  StoreLittleEndian<4>(fileHeader, BF_SIZE,
                       static_cast<std::uint32_t>(pixelBytes + BMP_PIXEL_OFFSET));
  StoreLittleEndian<4>(fileHeader, BF_OFF_BITS, BMP_PIXEL_OFFSET);

  BmpHeaders headers{};
  std::copy(fileHeader.begin(), fileHeader.end(), headers.begin());
  std::copy(infoHeader.begin(), infoHeader.end(), headers.begin() + BMP_FILE_HEADER_BYTES);
  return headers;
}

void WriteBmpFile(const char* fileName, std::span<const unsigned char> pixels, int width,
                  int height) {
  const std::optional<std::size_t> pixelBytes = ImageBytes(width, height);
  if (fileName == nullptr || !pixelBytes || pixels.size() < *pixelBytes) {
    return;
  }

  base::BinaryFile file;
  if (!file.Open(fileName, base::BinaryFile::Mode::CreateTruncate)) {
    return;
  }

  const BmpHeaders headers = MakeBmpHeaders(width, height);
  file.Write(headers.data(), BMP_FILE_HEADER_BYTES);
  file.Write(headers.data() + BMP_FILE_HEADER_BYTES, BMP_INFO_HEADER_BYTES);
  file.Write(pixels.data(), *pixelBytes);
  file.Close();
}

BmpHeaderResult ReadBmpHeaders(base::BinaryFile& file, BmpHeaders& headers) {
  // Both headers in one read: a regular file gives back all the bytes it
  // has, so the outcome is the one of reading the 14 and then the 40.
  const std::size_t got = file.Read(headers.data(), BMP_PIXEL_OFFSET);
  if (got < BMP_FILE_HEADER_BYTES) {
    return {BmpHeaderRead::ShortHeader, got};
  }
  if (LoadLittleEndian<2>(headers, BF_TYPE) != BMP_SIGNATURE) {
    return {BmpHeaderRead::BadSignature, BMP_FILE_HEADER_BYTES};
  }
  if (got < BMP_PIXEL_OFFSET) {
    return {BmpHeaderRead::ShortHeader, got};
  }
  return {BmpHeaderRead::Complete, BMP_PIXEL_OFFSET};
}

void ReadBmpFile(const char* fileName, std::span<unsigned char> pixels, int& width, int& height) {
  // Every refusal looks the same to the caller; the file, if open, is closed
  // by the file object when this function returns.
  const auto fail = [&] {
    if (!pixels.empty()) {
      pixels.front() = 0;
    }
    width = 0;
    height = 0;
  };

  base::BinaryFile file;
  if (fileName == nullptr || !file.Open(fileName, base::BinaryFile::Mode::Read)) {
    return fail();
  }

  BmpHeaders headers{};
  if (ReadBmpHeaders(file, headers).result != BmpHeaderRead::Complete) {
    return fail();
  }

  const auto storedWidth =
      static_cast<std::int32_t>(LoadLittleEndian<4>(headers, BMP_FILE_HEADER_BYTES + BI_WIDTH));
  const auto storedHeight =
      static_cast<std::int32_t>(LoadLittleEndian<4>(headers, BMP_FILE_HEADER_BYTES + BI_HEIGHT));
  const std::optional<std::size_t> pixelBytes =
      ReadablePixelBytes(storedWidth, storedHeight, pixels.size());
  if (!pixelBytes) {
    return fail();
  }

  width = storedWidth;
  height = storedHeight;
  // A short pixel block is accepted: only the bytes present are replaced.
  file.Read(pixels.data(), *pixelBytes);
  file.Close();
}
