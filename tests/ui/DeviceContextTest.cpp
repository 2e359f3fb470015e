// Drawing: the 1:1 copy of a bottom-up blue-green-red bitmap into a surface,
// the picture control's client context and painting an icon.

#include "ui/core/DeviceContext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "ui/core/DataExchange.h"
#include "ui/core/Dialog.h"
#include "ui/core/Surface.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

using ui::headless::HeadlessBackend;
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

// A 24-bit bitmap as StretchDIBits reads it: bottom row first, blue-green-red,
// rows padded to four bytes with 0xEE, so reading the padding shows.
Bytes MakeBits(int width, int height) {
  const int stride = (width * 3 + 3) / 4 * 4;
  Bytes bits(static_cast<std::size_t>(stride * height), 0xEE);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      for (int c = 0; c < 3; ++c)
        bits[static_cast<std::size_t>((height - 1 - y) * stride + x * 3 + 2 - c)] =
            Channel(x, y, c);
    }
  }
  return bits;
}

ui::BITMAPINFOHEADER Header(int width, int height) {
  ui::BITMAPINFOHEADER header;
  header.biWidth = width;
  header.biHeight = height;
  return header;
}

// The surface after the source rectangle at (xSrc, ySrc), w × h, is placed at
// (xDest, yDest): each source pixel where it lands, if it lands on the surface.
Bytes Expected(ui::Surface surface, int xDest, int yDest, int xSrc, int ySrc, int w, int h) {
  for (int r = 0; r < h; ++r) {
    for (int col = 0; col < w; ++col) {
      if (surface.Pixel(xDest + col, yDest + r) == nullptr)
        continue;
      for (int c = 0; c < 3; ++c)
        surface.Row(yDest + r)[(xDest + col) * 3 + c] = Channel(xSrc + col, ySrc + r, c);
    }
  }
  return Bytes(surface.Bytes().begin(), surface.Bytes().end());
}

Bytes Of(const ui::Surface& surface) {
  return Bytes(surface.Bytes().begin(), surface.Bytes().end());
}

int Copy(ui::DeviceContext& dc, int xDest, int yDest, int xSrc, int ySrc, int w, int h,
         const Bytes& bits, const ui::BITMAPINFOHEADER& header) {
  return ui::StretchDIBits(dc, xDest, yDest, w, h, xSrc, ySrc, w, h, bits.data(), &header,
                           ui::DIB_RGB_COLORS, ui::SRCCOPY);
}

TEST(StretchDIBits, CopiesOneToOneBottomRowLowestAndRedFirst) {
  ui::Surface surface(6, 5);
  const ui::Surface before = surface;
  SurfaceDC dc(surface);
  const Bytes bits = MakeBits(3, 2);  // 9 bytes a row, padded to 12
  EXPECT_EQ(Copy(dc, 2, 1, 0, 0, 3, 2, bits, Header(3, 2)), 2);
  EXPECT_EQ(Of(surface), Expected(before, 2, 1, 0, 0, 3, 2));
  // Spelled out once: the top left pixel is the start of the last stored row.
  EXPECT_EQ(Bytes(surface.Pixel(2, 1), surface.Pixel(2, 1) + 3),
            (Bytes{bits[14], bits[13], bits[12]}));

  // A part of a bigger bitmap, its rows counted from the top.
  ui::Surface small(3, 3);
  SurfaceDC smallDC(small);
  EXPECT_EQ(Copy(smallDC, 0, 0, 1, 1, 2, 2, MakeBits(4, 3), Header(4, 3)), 2);
  EXPECT_EQ(Of(small), Expected(ui::Surface(3, 3), 0, 0, 1, 1, 2, 2));
}

TEST(StretchDIBits, CutsOffWhatFallsOutsideTheSurfaceOnEverySide) {
  const Bytes bits = MakeBits(3, 2);
  for (int yDest = -3; yDest <= 4; ++yDest) {
    for (int xDest = -4; xDest <= 5; ++xDest) {
      ui::Surface surface(4, 3);
      surface.Fill(1, 2, 3);
      const ui::Surface before = surface;
      SurfaceDC dc(surface);
      int visibleRows = 0;
      for (int y = yDest; y < yDest + 2; ++y)
        visibleRows += xDest > -3 && xDest < 4 && y >= 0 && y < 3 ? 1 : 0;
      EXPECT_EQ(Copy(dc, xDest, yDest, 0, 0, 3, 2, bits, Header(3, 2)), visibleRows)
          << xDest << "," << yDest;
      EXPECT_EQ(Of(surface), Expected(before, xDest, yDest, 0, 0, 3, 2)) << xDest << "," << yDest;
    }
  }
}

TEST(StretchDIBits, RefusesScalingOtherFormatsAndSourcesOutsideTheBitmap) {
  const Bytes bits = MakeBits(3, 2);
  struct Call {
    const char* name;
    int destWidth = 3, destHeight = 2, xSrc = 0, ySrc = 0, srcWidth = 3, srcHeight = 2;
    ui::BITMAPINFOHEADER header = Header(3, 2);
    ui::UINT usage = ui::DIB_RGB_COLORS;
    std::uint32_t rop = ui::SRCCOPY;
  };
  auto header = [](auto change) {
    ui::BITMAPINFOHEADER h = Header(3, 2);
    change(h);
    return h;
  };
  const Call calls[] = {
      {.name = "wider", .destWidth = 6},
      {.name = "lower", .destHeight = 1},
      {.name = "32 bits", .header = header([](auto& h) { h.biBitCount = 32; })},
      {.name = "compressed", .header = header([](auto& h) { h.biCompression = 1; })},
      {.name = "top-down", .header = header([](auto& h) { h.biHeight = -2; })},
      {.name = "right of bitmap", .xSrc = 1},
      {.name = "below bitmap", .ySrc = 1},
      {.name = "negative source", .destWidth = 2, .xSrc = -1, .srcWidth = 2},
      {.name = "other raster operation", .rop = 0x00EE0086},
  };
  for (const Call& call : calls) {
    ui::Surface surface(4, 4);
    SurfaceDC dc(surface);
    EXPECT_EQ(ui::StretchDIBits(dc, 0, 0, call.destWidth, call.destHeight, call.xSrc, call.ySrc,
                                call.srcWidth, call.srcHeight, bits.data(), &call.header,
                                call.usage, call.rop),
              0)
        << call.name;
    EXPECT_EQ(Of(surface), Of(ui::Surface(4, 4))) << call.name;
  }
  ui::Surface surface(4, 4);
  SurfaceDC dc(surface);
  const auto h = Header(3, 2);
  EXPECT_EQ(ui::StretchDIBits(dc, 0, 0, 3, 2, 0, 0, 3, 2, nullptr, &h, 0, ui::SRCCOPY), 0);
  EXPECT_EQ(ui::StretchDIBits(dc, 0, 0, 3, 2, 0, 0, 3, 2, bits.data(), nullptr, 0, ui::SRCCOPY), 0);
}

constexpr int IDD_PICTURE = 700, IDC_FRAME = 701;
const ui::ControlTemplate kControls[] = {
    {IDC_FRAME, ui::ControlKind::Picture, "", 5, 5, 40, 24},
};
const ui::DialogTemplate kTemplate{IDD_PICTURE, ui::kCaption, "Picture", "Sans",   8, 0,
                                   0,           200,          100,       kControls};
const ui::IconResource kIcon{9, {}, {}};

// Paints its icon centred in the client area, as the console does when minimised.
class PictureDlg : public ui::ModalDialog {
 public:
  PictureDlg() : ui::ModalDialog(kTemplate, nullptr) {}
  void OnPaint() {
    ui::PaintContext dc(*this);
    ui::Rect rect;
    GetClientRect(&rect);
    const int size = ui::GetSystemMetrics(ui::SM_CXICON);
    dc.DrawIcon((rect.Width() - size + 1) / 2, (rect.Height() - size + 1) / 2, icon);
  }
  ui::PictureControl m_frame;
  ui::HICON icon = &kIcon;

 protected:
  const ui::MessageMapBase* GetMessageMap() const override {
    using Map = ui::MessageMap<PictureDlg>;
    static const Map map(nullptr, {Map::OnPaint(&PictureDlg::OnPaint)});
    return &map;
  }
  void ExchangeData(ui::DataExchange* dx) override { ui::ExchangeControl(dx, IDC_FRAME, m_frame); }
};

TEST(ClientDC, DrawsIntoThePictureControlAndMarksItUpdatedWhenReleased) {
  HeadlessBackend user;
  PictureDlg dialog;
  const Bytes bits = MakeBits(3, 2);
  int rows = 0, updatesWhileDrawing = -1, updates = 0;
  ui::Surface shown;
  user.Then([&] {
        {
          ui::ClientContext dc(dialog.m_frame);
          rows = Copy(dc, 1, 1, 0, 0, 3, 2, bits, Header(3, 2));
          updatesWhileDrawing = user.Top()->Control(IDC_FRAME)->surfaceUpdates;
        }
        updates = user.Top()->Control(IDC_FRAME)->surfaceUpdates;
        shown = user.Top()->Control(IDC_FRAME)->surface;
      })
      .Key(ui::DialogKey::Escape);
  dialog.RunModal();
  EXPECT_EQ(rows, 2);
  EXPECT_EQ(updatesWhileDrawing, 0);
  EXPECT_EQ(updates, 1);
  // 40 × 24 dialog units in an 8-point font are 60 × 39 pixels.
  EXPECT_EQ(Of(shown), Expected(ui::Surface(60, 39), 1, 1, 0, 0, 3, 2));

  // Without a window there is nothing to draw into.
  ui::ClientContext detached(dialog.m_frame);
  EXPECT_EQ(detached.GetSurface(), nullptr);
  EXPECT_EQ(Copy(detached, 0, 0, 0, 0, 3, 2, bits, Header(3, 2)), 0);
}

TEST(PaintDC, DrawsTheIconWhereThePaintHandlerSays) {
  HeadlessBackend user;
  PictureDlg dialog;
  std::vector<ui::headless::IconDraw> draws;
  user.Then([&] {
        dialog.SendMessage(ui::WM_PAINT);   // 200 × 100 units: 300 × 163 pixels
        user.Top()->SetClientSize(20, 10);  // narrower than the icon
        dialog.SendMessage(ui::WM_PAINT);
        dialog.icon = nullptr;  // nothing to draw
        dialog.SendMessage(ui::WM_PAINT);
        draws = user.Top()->IconDraws();
      })
      .Key(ui::DialogKey::Escape);
  dialog.RunModal();
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0].x, 134);
  EXPECT_EQ(draws[0].y, 66);
  EXPECT_EQ(draws[0].icon, &kIcon);
  EXPECT_EQ(draws[1].x, -5);
  EXPECT_EQ(draws[1].y, -10);
}

}  // namespace
