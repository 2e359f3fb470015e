#include "ui/qt/QtPictureWidget.h"

#include <QImage>
#include <QPainter>

namespace ui::qt {
QtPictureWidget::QtPictureWidget(QWidget* parent, int surfaceWidth, int surfaceHeight)
    : QWidget(parent), m_surface(surfaceWidth, surfaceHeight) {
  // Every pixel of the surface is painted on each repaint, so Qt need not
  // clear the background first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void QtPictureWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect shown(0, 0, m_surface.Width(), m_surface.Height());
  // Parts of the widget beyond the surface (on screens scaled above 96 dpi)
  // keep the dialog's face colour.
  const QRegion outside = QRegion(rect()).subtracted(shown);
  for (const QRect& r : outside)
    painter.fillRect(r, palette().window());
  if (m_surface.Width() == 0 || m_surface.Height() == 0)
    return;
  // The surface's rows are red-green-blue, top row first, with a stride that
  // is a multiple of four, which is what this image format expects; wrapping
  // the bytes avoids a copy per frame.
  const QImage image(m_surface.Bytes().data(), m_surface.Width(), m_surface.Height(),
                     m_surface.Stride(), QImage::Format_RGB888);
  painter.drawImage(0, 0, image);
}

}  // namespace ui::qt
