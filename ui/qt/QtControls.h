#pragma once
// The controls of a dialog template as Qt widgets: placed absolutely from their
// dialog-unit rectangles, given their texts, focus policies and tab order, and
// wired so that clicks reach the dialog's message map.

#include <QRect>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/core/DialogTemplate.h"

namespace ui {
class ModalDialog;
}

namespace ui::qt {

class QtPictureWidget;

// The platform layer's UTF-8 text as a Qt string.
QString FromUtf8(std::string_view text);

// Dialog units to device-independent pixels: the 96-dpi conversion of the
// template font, times the screen's scale factor.
struct DialogScale {
  DialogUnits units;
  double factor = 1.0;

  int X(int du) const;
  int Y(int du) const;
  QRect Rect(int x, int y, int width, int height) const;
};

// The scale for the primary screen: its logical dpi over 96, never below 1 so
// that a picture control is never smaller than its surface.
DialogScale ScreenScale();

struct QtControl {
  int id = -1;
  ControlKind kind = ControlKind::Label;
  unsigned style = kNoStyle;
  std::unique_ptr<QWidget> widget;
  // The text as the program gave it, mnemonic marks included (labels show it
  // with the marks stripped).
  std::string text;

  QtPictureWidget* Picture() const;
};

// Builds every control of the dialog's template as a child of parent. The
// returned controls must be destroyed before parent.
std::vector<QtControl> CreateControls(QWidget& parent, ModalDialog& dialog,
                                      const DialogScale& scale);

// Changes a control's shown text; pictures and icons have none.
void SetControlText(QtControl& control, std::string_view text);

// Text as Qt shows it on a label: "&" marks removed unless the label asks for
// no mnemonic processing, in which case every character is shown as it is.
QString LabelText(std::string_view text, unsigned style);

}  // namespace ui::qt
