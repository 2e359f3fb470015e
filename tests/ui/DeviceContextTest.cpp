// Drawing: the 1:1 copy of a bottom-up blue-green-red bitmap into a surface.
// (The picture control's client context is tried by the player's frame
// display tests.)

#include "ui/core/DeviceContext.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/core/Surface.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// A context over a surface of the test's own.
class SurfaceDC : public ui::DeviceContext {
 public:
  explicit SurfaceDC(ui::Surface& surface) { m_surface = &surface; }
};

// Red, green and blue of bitmap pixel (x, y), y from the top: every pixel and
// channel differs, so a swapped row, column or channel shows.
std::uint8_t Channel(int x, int y, int c) {
  return static_cast<std::uint8_t>(c == 0 ? 200 + x : c == 1 ? 100 + y : 10 + 10 * x + y);
}

// A 3 × 2 bitmap as StretchDIBits reads it: bottom row first, blue-green-red,
// rows of 9 bytes padded to 12 with 0xEE, so reading the padding shows.
const ui::BITMAPINFOHEADER kHeader = [] {
  ui::BITMAPINFOHEADER header;
  header.biWidth = 3;
  header.biHeight = 2;
  return header;
}();
const Bytes kBits = [] {
  Bytes bits(24, 0xEE);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x)
      for (int c = 0; c < 3; ++c)
        bits[static_cast<std::size_t>((1 - y) * 12 + x * 3 + 2 - c)] = Channel(x, y, c);
  return bits;
}();

// The surface after the w × h source rectangle at (xSrc, ySrc) is placed at
// (xDest, yDest): each pixel where it lands, if it lands on the surface.
Bytes Expected(ui::Surface surface, int xDest, int yDest, int xSrc = 0, int ySrc = 0, int w = 3,
               int h = 2) {
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (surface.Pixel(xDest + x, yDest + y) != nullptr)
        for (int c = 0; c < 3; ++c)
          surface.Row(yDest + y)[(xDest + x) * 3 + c] = Channel(xSrc + x, ySrc + y, c);
  return Bytes(surface.Bytes().begin(), surface.Bytes().end());
}

Bytes Of(const ui::Surface& surface) {
  return Bytes(surface.Bytes().begin(), surface.Bytes().end());
}

int Copy(ui::DeviceContext& dc, int xDest, int yDest, int xSrc = 0, int ySrc = 0, int w = 3,
         int h = 2) {
  return ui::StretchDIBits(dc, xDest, yDest, w, h, xSrc, ySrc, w, h, kBits.data(), &kHeader,
                           ui::DIB_RGB_COLORS, ui::SRCCOPY);
}

TEST(StretchDIBits, CopiesOneToOneAndCutsOffWhatFallsOutsideTheSurfaceOnEverySide) {
  for (int yDest = -3; yDest <= 4; ++yDest) {
    for (int xDest = -4; xDest <= 5; ++xDest) {
      SCOPED_TRACE(std::to_string(xDest) + "," + std::to_string(yDest));
      ui::Surface surface(4, 3);
      surface.Fill(1, 2, 3);
      const ui::Surface before = surface;
      SurfaceDC dc(surface);
      int visibleRows = 0;
      for (int y = yDest; y < yDest + 2; ++y)
        visibleRows += xDest > -3 && xDest < 4 && y >= 0 && y < 3 ? 1 : 0;
      EXPECT_EQ(Copy(dc, xDest, yDest), visibleRows);
      EXPECT_EQ(Of(surface), Expected(before, xDest, yDest));
    }
  }
  // Spelled out once: the top left pixel is the start of the last stored row.
  ui::Surface surface(3, 2);
  SurfaceDC dc(surface);
  Copy(dc, 0, 0);
  EXPECT_EQ(Bytes(surface.Pixel(0, 0), surface.Pixel(0, 0) + 3),
            (Bytes{kBits[14], kBits[13], kBits[12]}));

  // A part of the bitmap: its bottom right 2 × 1 pixels, rows counted from the top.
  ui::Surface part(3, 2);
  SurfaceDC partDC(part);
  EXPECT_EQ(Copy(partDC, 1, 0, 1, 1, 2, 1), 1);
  EXPECT_EQ(Of(part), Expected(ui::Surface(3, 2), 1, 0, 1, 1, 2, 1));
}

TEST(StretchDIBits, RefusesScalingOtherFormatsAndSourcesOutsideTheBitmap) {
  struct Call {
    const char* name;
    int destWidth = 3, destHeight = 2, xSrc = 0, ySrc = 0, srcWidth = 3, srcHeight = 2;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = ui::BI_RGB;
    int bmpHeight = 2;
    std::uint32_t rop = ui::SRCCOPY;
    const void* bits = kBits.data();
  };
  const Call calls[] = {
      {.name = "wider", .destWidth = 6},
      {.name = "lower", .destHeight = 1},
      {.name = "32 bits", .bitCount = 32},
      {.name = "compressed", .compression = 1},
      {.name = "top-down", .bmpHeight = -2},
      {.name = "right of bitmap", .xSrc = 1},
      {.name = "below bitmap", .ySrc = 1},
      {.name = "negative source", .destWidth = 2, .xSrc = -1, .srcWidth = 2},
      // Sums that overflow 32 bits must not wrap back inside the bitmap.
      {.name = "far right of bitmap", .xSrc = INT_MAX},
      {.name = "far below bitmap", .ySrc = INT_MAX},
      {.name = "other raster operation", .rop = 0x00EE0086},
      {.name = "no bits", .bits = nullptr},
  };
  for (const Call& call : calls) {
    SCOPED_TRACE(call.name);
    ui::BITMAPINFOHEADER header = kHeader;
    header.biBitCount = call.bitCount;
    header.biCompression = call.compression;
    header.biHeight = call.bmpHeight;
    ui::Surface surface(4, 4);
    SurfaceDC dc(surface);
    EXPECT_EQ(ui::StretchDIBits(dc, 0, 0, call.destWidth, call.destHeight, call.xSrc, call.ySrc,
                                call.srcWidth, call.srcHeight, call.bits, &header,
                                ui::DIB_RGB_COLORS, call.rop),
              0);
    EXPECT_EQ(Of(surface), Of(ui::Surface(4, 4)));
  }
}

}  // namespace
