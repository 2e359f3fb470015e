#pragma once
// Icon resources as Qt pictures: the 16-colour images expanded to pixmaps with
// a transparent background, and the pair of them as a window icon.

#include <QIcon>
#include <QPixmap>

#include "ui/core/Icon.h"

namespace ui::qt {

// A null pixmap for an image of size 0.
QPixmap IconPixmap(const IconImage& image);

// The large image of the big icon and the small image of the small icon, as
// the window system shows them in the title bar and the task switcher.
QIcon WindowIcon(HICON bigIcon, HICON smallIcon);

}  // namespace ui::qt
