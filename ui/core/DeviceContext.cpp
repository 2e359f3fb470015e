#include "ui/core/DeviceContext.h"

#include <algorithm>
#include <cstddef>

#include "ui/core/Backend.h"
#include "ui/core/Dialog.h"
#include "ui/core/Surface.h"

namespace ui {

ClientContext::ClientContext(PictureControl& control)
    : m_window(control.Window()), m_id(control.Id()) {
  m_surface = control.GetSurface();
}

ClientContext::~ClientContext() {
  if (m_window != nullptr && m_surface != nullptr)
    m_window->PictureChanged(m_id);
}

PaintContext::PaintContext(ModalDialog& dialog) : m_window(dialog.Native()) {}

void PaintContext::DrawIcon(int x, int y, HICON icon) {
  if (m_window != nullptr && icon != nullptr)
    m_window->DrawIcon(x, y, icon);
}

int StretchDIBits(DeviceContext& dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                  int ySrc, int srcWidth, int srcHeight, const void* bits,
                  const BITMAPINFOHEADER* header, UINT usage, std::uint32_t rop) {
  Surface* surface = dc.GetSurface();
  if (surface == nullptr || bits == nullptr || header == nullptr)
    return 0;
  if (usage != DIB_RGB_COLORS || rop != SRCCOPY)
    return 0;
  if (header->biBitCount != 24 || header->biCompression != BI_RGB || header->biPlanes != 1)
    return 0;
  if (destWidth != srcWidth || destHeight != srcHeight || srcWidth <= 0 || srcHeight <= 0)
    return 0;
  const int bmpWidth = header->biWidth;
  const int bmpHeight = header->biHeight;
  if (bmpWidth <= 0 || bmpHeight <= 0)
    return 0;
  // Every sum below is formed in 64 bits: the arguments may be anything.
  using Wide = std::int64_t;
  if (xSrc < 0 || ySrc < 0 || Wide{xSrc} + srcWidth > bmpWidth ||
      Wide{ySrc} + srcHeight > bmpHeight)
    return 0;

  const std::size_t stride = (static_cast<std::size_t>(bmpWidth) * 3 + 3) / 4 * 4;
  const auto* source = static_cast<const std::uint8_t*>(bits);

  // Source rows are stored bottom-up: the source rectangle's top row is bitmap
  // row ySrc counted from the top, which lies bmpHeight - 1 - ySrc rows into
  // the buffer. One pass: each visible pixel is copied once, blue-green-red
  // turned into the surface's red-green-blue.
  const int firstColumn = static_cast<int>(std::clamp<Wide>(-Wide{xDest}, 0, srcWidth));
  const int lastColumn =
      static_cast<int>(std::clamp<Wide>(Wide{surface->Width()} - xDest, 0, srcWidth));
  int rows = 0;
  for (int r = 0; r < srcHeight; ++r) {
    const Wide y = Wide{yDest} + r;
    if (y < 0 || y >= surface->Height() || firstColumn >= lastColumn)
      continue;
    const std::size_t bufferRow = static_cast<std::size_t>(bmpHeight - 1 - (ySrc + r));
    // Pointers start at the first visible column, so none ever points
    // outside its buffer.
    const std::uint8_t* in =
        source + bufferRow * stride + static_cast<std::size_t>(xSrc + firstColumn) * 3;
    std::uint8_t* out =
        surface->Row(static_cast<int>(y)) + static_cast<std::size_t>(xDest + firstColumn) * 3;
    // Each pixel is loaded whole before it is stored, so the compiler need
    // not assume a store may change the next load.
    for (int c = 0; c < lastColumn - firstColumn; ++c, in += 3, out += 3) {
      const std::uint8_t blue = in[0];
      const std::uint8_t green = in[1];
      const std::uint8_t red = in[2];
      out[0] = red;
      out[1] = green;
      out[2] = blue;
    }
    ++rows;
  }
  return rows;
}

int GetSystemMetrics(int index) {
  return CurrentBackend().GetSystemMetrics(index);
}

int StandardSystemMetric(int index) {
  switch (index) {
    case SM_CXICON:
    case SM_CYICON:
      return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
      return 16;
    default:
      return 0;
  }
}

}  // namespace ui
