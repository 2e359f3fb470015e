#include "image/FrameDisplay.h"

#include "player/FileRead.h"
#include "ui/core/Backend.h"

void ShowFrame(const unsigned char* pixels, int width, int height) {
  ui::PictureControl& picture = g_fileReadDlg.m_picture;
  if (!picture.HasWindow())
    return;
  ui::ClientContext dc(picture);  // released, and the picture refreshed, at scope end
  DrawFrame(dc, pixels, width, height);
}

void DrawFrame(ui::DeviceContext& dc, const unsigned char* pixels, int width, int height) {
  if (pixels == nullptr || width <= 0 || height <= 0 ||
      (static_cast<long long>(width) * 3) % 4 != 0) {
    return;
  }
  ui::BITMAPINFOHEADER header;
  header.biSize = 40;
  header.biWidth = width;
  header.biHeight = height;  // positive: the first row in memory is the bottom row
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = ui::BI_RGB;
  ui::StretchDIBits(dc, 0, 0, width, height, 0, 0, width, height, pixels, &header,
                    ui::DIB_RGB_COLORS, ui::SRCCOPY);
  ui::YieldTimeSlice();
}
