#pragma once
// Device contexts: a picture control's surface to draw frames into (client
// context), and a window being painted (paint context). Both are released when
// the object goes out of scope.

#include <cstdint>

#include "ui/core/Icon.h"
#include "ui/core/WindowTypes.h"

namespace ui {

class ModalDialog;
class PictureControl;
class Surface;
class NativeDialog;

// The 40-byte bitmap information header that describes a device-independent
// bitmap to StretchDIBits.
struct BITMAPINFOHEADER {
  std::uint32_t biSize = 40;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 1;
  std::uint16_t biBitCount = 24;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};

inline constexpr std::uint32_t BI_RGB = 0;
inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr std::uint32_t SRCCOPY = 0x00CC0020;

class DeviceContext {
 public:
  DeviceContext() = default;
  virtual ~DeviceContext() = default;
  DeviceContext(const DeviceContext&) = delete;
  DeviceContext& operator=(const DeviceContext&) = delete;

  // The surface drawn into, or nullptr when there is none.
  Surface* GetSurface() const { return m_surface; }
  // An opaque handle, as messages carry it.
  WPARAM Handle() const { return reinterpret_cast<WPARAM>(this); }

 protected:
  Surface* m_surface = nullptr;
};

// The context of a picture control's surface; tells the window to show the
// new pixels when released.
class ClientContext : public DeviceContext {
 public:
  explicit ClientContext(PictureControl& control);
  ~ClientContext() override;

 private:
  NativeDialog* m_window = nullptr;
  int m_id = 0;
};

// The context of a dialog painting itself.
class PaintContext : public DeviceContext {
 public:
  explicit PaintContext(ModalDialog& dialog);
  void DrawIcon(int x, int y, HICON icon);

 private:
  NativeDialog* m_window = nullptr;
};

// Copies a 24-bit bottom-up device-independent bitmap into the context's
// surface. Only a 1:1 copy is supported (destination and source sizes equal),
// which is the only one the program makes; rows are read 4-byte aligned as the
// bitmap format says. Pixels outside the surface are cut off. Returns the
// number of rows copied (0 when nothing could be drawn).
int StretchDIBits(DeviceContext& dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc,
                  int ySrc, int srcWidth, int srcHeight, const void* bits,
                  const BITMAPINFOHEADER* header, UINT usage, std::uint32_t rop);

// The metric `index` as the current backend reports it.
int GetSystemMetrics(int index);
// The metrics every backend reports: the desktop's standard icon sizes, 32 x
// 32 and 16 x 16 pixels; 0 for any other index.
int StandardSystemMetric(int index);

}  // namespace ui
