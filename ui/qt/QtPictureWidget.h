#pragma once
// The picture control: a widget that owns a pixel surface and shows it 1:1 at
// its top-left corner. Frames are drawn into the surface by the device-context
// functions; the widget is told to repaint when a drawing has finished.

#include <QWidget>

#include "ui/core/Surface.h"

namespace ui::qt {

class QtPictureWidget final : public QWidget {
 public:
  // The surface has exactly surfaceWidth × surfaceHeight pixels, whatever size
  // the widget is laid out at, because frames are drawn into it pixel for pixel.
  QtPictureWidget(QWidget* parent, int surfaceWidth, int surfaceHeight);

  Surface& PixelSurface() { return m_surface; }
  const Surface& PixelSurface() const { return m_surface; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Surface m_surface;
};

}  // namespace ui::qt
