#include "ui/qt/QtIcons.h"

#include <QImage>

namespace ui::qt {

QPixmap IconPixmap(const IconImage& image) {
  if (image.size <= 0)
    return {};
  const std::vector<std::uint32_t> argb = IconToArgb(image);
  // The expanded pixels are 0xAARRGGBB words, the layout of this format. The
  // image only borrows them, so it is copied before the vector goes.
  const QImage borrowed(reinterpret_cast<const uchar*>(argb.data()), image.size, image.size,
                        image.size * 4, QImage::Format_ARGB32);
  return QPixmap::fromImage(borrowed.copy());
}

QIcon WindowIcon(HICON bigIcon, HICON smallIcon) {
  QIcon icon;
  if (bigIcon != nullptr) {
    const QPixmap pixmap = IconPixmap(bigIcon->large);
    if (!pixmap.isNull())
      icon.addPixmap(pixmap);
  }
  if (smallIcon != nullptr) {
    const QPixmap pixmap = IconPixmap(smallIcon->small);
    if (!pixmap.isNull())
      icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace ui::qt
