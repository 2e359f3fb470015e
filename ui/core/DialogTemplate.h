#pragma once
// Dialog templates as data: the window's style, font, caption and size, and its
// controls in tab order, all positions in dialog units.

#include <span>
#include <string_view>

#include "ui/core/Icon.h"

namespace ui {

enum class ControlKind {
  PushButton,
  DefPushButton,  // the dialog's default button: Enter presses it
  Edit,
  Label,
  Picture,   // a picture area that frames are drawn into
  CheckBox,  // a two-state automatic check box
  Icon,      // shows the application icon given by the control's resource id
};

// Style bits of a control beyond its kind.
enum ControlStyle : unsigned {
  kNoStyle = 0,
  kTabStop = 1u << 0,
  kGroup = 1u << 1,
  kBorder = 1u << 2,
  kAutoHScroll = 1u << 3,
  kNoPrefix = 1u << 4,
};

struct ControlTemplate {
  int id;  // -1 for a control without id (labels)
  ControlKind kind;
  std::string_view text;
  int x, y, width, height;  // dialog units
  unsigned style = kNoStyle;
  HICON icon = nullptr;  // for Icon: the picture shown
};

// Window style bits of a dialog.
enum DialogStyle : unsigned {
  kPopup = 1u << 0,
  kVisible = 1u << 1,
  kCaption = 1u << 2,
  kSysMenu = 1u << 3,
  kModalFrame = 1u << 4,
  kSetFont = 1u << 5,
  kAppWindow = 1u << 6,  // has its own taskbar entry
};

struct DialogTemplate {
  int id;
  unsigned style;
  std::string_view caption;
  std::string_view fontName;
  int fontPoints;
  int x, y, width, height;  // dialog units
  std::span<const ControlTemplate> controls;

  const ControlTemplate* Find(int controlId) const {
    for (const ControlTemplate& c : controls) {
      if (c.id == controlId)
        return &c;
    }
    return nullptr;
  }
};

// Dialog units to pixels for the template font. An 8-point sans-serif face at
// 96 dpi has base units of 6 × 13 pixels: a horizontal unit is a quarter of the
// average character width, a vertical unit an eighth of its height.
struct DialogUnits {
  int baseX = 6;
  int baseY = 13;
  int ToPixelsX(int units) const { return (units * baseX + 2) / 4; }
  int ToPixelsY(int units) const { return (units * baseY + 4) / 8; }
};

}  // namespace ui
