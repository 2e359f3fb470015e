#include "image/FrameDisplay.h"

#include "ui/core/Backend.h"

namespace {
ui::PictureControl* g_displayPicture = nullptr;
}

void SetDisplayPicture(ui::PictureControl& picture) {
  g_displayPicture = &picture;
}

void ReleaseDisplayPicture(const ui::PictureControl& picture) {
  if (g_displayPicture == &picture)
    g_displayPicture = nullptr;
}

void ShowFrame(const unsigned char* pixels, int width, int height) {
  if (g_displayPicture == nullptr || !g_displayPicture->HasWindow())
    return;
  ui::ClientContext dc(*g_displayPicture);  // released, and the picture refreshed, at scope end
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
