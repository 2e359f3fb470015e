#pragma once
// Frame files: 24-bit uncompressed BMP files that hold exactly one frame buffer.
//
// A frame file is a 14-byte file header, a 40-byte information header and the
// pixel block, with no gaps and no colour table. All header fields are
// little-endian whatever the host. The pixel block starts at byte 54 and is the
// frame buffer byte for byte: blue-green-red pixels, rows of exactly width * 3
// bytes with no padding, bottom row first. Because rows are unpadded, a frame
// moves between file and buffer in one piece, without per-row copying; the
// price is that for widths that are not a multiple of 4 only readers that
// assume unpadded rows (ours) read the file correctly.

#include <array>
#include <cstddef>
#include <span>

namespace base {
class BinaryFile;
}

inline constexpr int BMP_FILE_HEADER_BYTES = 14;
inline constexpr int BMP_INFO_HEADER_BYTES = 40;
// Where the pixel block starts, in every file written and every file read.
inline constexpr int BMP_PIXEL_OFFSET = BMP_FILE_HEADER_BYTES + BMP_INFO_HEADER_BYTES;
// "BM", read as a little-endian 16-bit value.
inline constexpr unsigned BMP_SIGNATURE = 0x4D42;

// A frame file's two headers, as they stand at the start of the file.
using BmpHeaders = std::array<unsigned char, BMP_PIXEL_OFFSET>;

// How reading a frame file's headers ended, and how many header bytes came.
enum class BmpHeaderRead { Complete, ShortHeader, BadSignature };
struct BmpHeaderResult {
  BmpHeaderRead result;
  std::size_t bytes;
};

// Reads the headers of the open frame file as every reader here does: the
// 14-byte file header, which must begin with "BM", and the 40-byte
// information header, both in one read of 54 bytes (a short file gives back
// what it has, so the outcome is that of two reads). After a complete read the file stands at
// byte 54, where the pixel block starts. A failure of the file layer other
// than end of file (base::FileException) passes through.
BmpHeaderResult ReadBmpHeaders(base::BinaryFile& file, BmpHeaders& headers);

// The two headers WriteBmpFile writes for a frame of width x height pixels.
// A size whose pixel count cannot be stored (negative, or beyond the signed
// 32-bit range) gets a size field as for an empty pixel block.
BmpHeaders MakeBmpHeaders(int width, int height);

// Writes the frame buffer `pixels` of width x height pixels to the file
// fileName, creating it or replacing its whole content. The file is written
// with exactly three writes: file header, information header, pixel block.
//
// The call returns quietly and leaves no trace when the file cannot be
// created (missing folder, no permission). It also returns without creating or
// changing any file when the arguments cannot describe a frame: a null file
// name, a negative width or height, a pixel count width * height * 3 beyond
// the signed 32-bit range the file's size field and callers work in, or a
// `pixels` span shorter than that count (writing would read past the buffer).
//
// A failure of the file layer during a write (base::FileException, for example a
// full disk) passes through to the caller; the file is closed on the way out
// and whatever part of it was written remains.
void WriteBmpFile(const char* fileName, std::span<const unsigned char> pixels, int width,
                  int height);

// Reads the frame file fileName into `pixels` and reports its dimensions in
// width and height. The pixel block is taken from byte 54 whatever the file's
// offset field says; of the headers only the "BM" signature is checked, and
// that both were read in full. The file is read with exactly three reads.
//
// The span's size is the caller's capacity. A file is refused when its stored
// width or height is negative, or when width * height * 3 (computed without
// overflow) is more than the span holds; a refused file is treated like one
// that cannot be opened, has a short header or a wrong signature: the first
// byte of `pixels` is set to 0 (when the span is not empty), width and height
// are set to 0, and nothing else in the buffer changes. Zero dimensions are how
// a caller tells failure from success.
//
// A pixel block shorter than the header promises is accepted: width and height
// come from the header, the bytes present are placed at the start of the
// buffer, and the rest of the buffer keeps what it held.
//
// A failure of the file layer other than end of file (base::FileException)
// passes through to the caller after the file has been closed.
void ReadBmpFile(const char* fileName, std::span<unsigned char> pixels, int& width, int& height);
