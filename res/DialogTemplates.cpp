#include "res/DialogTemplates.h"

#include <array>

#include "res/AppIcon.h"
#include "res/ResourceIds.h"
#include "ui/core/WindowTypes.h"

namespace res {
namespace {

using ui::ControlKind;
using ui::ControlTemplate;
using ui::DialogTemplate;
using enum ui::ControlStyle;
using enum ui::DialogStyle;

constexpr unsigned kEditStyle = kAutoHScroll | kBorder | kTabStop;

const std::array<ControlTemplate, 3> kAboutControls = {{
    {IDC_ABOUT_ICON, ControlKind::Icon, "", 11, 17, 20, 20, kNoStyle, FindIcon(IDR_MAINFRAME)},
    {IDC_STATIC, ControlKind::Label, "Korvane Version 1.0", 40, 10, 119, 8, kNoPrefix | kGroup},
    {ui::IDOK, ControlKind::DefPushButton, "OK", 178, 7, 50, 14, kTabStop | kGroup},
}};

// Labels have no id of their own; each gets a distinct negative one so that
// the backends can keep them apart.
constexpr std::array<ControlTemplate, 7> kConsoleControls = {{
    {IDC_RECORD, ControlKind::PushButton, "Record", 175, 7, 50, 14, kTabStop},
    {IDC_QUIT, ControlKind::PushButton, "Quit", 13, 105, 50, 14, kTabStop},
    {IDC_STOP, ControlKind::PushButton, "Stop Recording", 170, 26, 55, 14, kTabStop},
    {IDC_ROOT_PATH, ControlKind::Edit, "", 7, 35, 152, 14, kEditStyle},
    {-10, ControlKind::Label, "Root Pathname", 18, 17, 50, 8, kGroup},
    {IDC_READ_SERIES, ControlKind::PushButton, "Read file series", 83, 60, 78, 22, kTabStop},
    {IDC_BROWSE, ControlKind::PushButton, "Browse", 85, 14, 40, 13, kTabStop},
}};

constexpr std::array<ControlTemplate, 14> kFileReadControls = {{
    {IDC_READ, ControlKind::DefPushButton, "READ", 39, 117, 50, 14, kTabStop},
    {ui::IDCANCEL, ControlKind::PushButton, "Cancel", 39, 174, 50, 14, kTabStop},
    {-10, ControlKind::Label, "Root Pathname", 16, 20, 59, 10, kGroup},
    {IDC_ROOT_PATH, ControlKind::Edit, "", 83, 17, 136, 16, kEditStyle},
    {-11, ControlKind::Label, "Start Frame", 15, 53, 37, 8, kGroup},
    {IDC_START_FRAME, ControlKind::Edit, "", 77, 50, 44, 14, kEditStyle},
    {-12, ControlKind::Label, "Last frame", 17, 73, 35, 8, kGroup},
    {IDC_LAST_FRAME, ControlKind::Edit, "", 78, 69, 44, 14, kEditStyle},
    {-13, ControlKind::Label, "Frame rate (1,2, ...)", 7, 237, 60, 8, kGroup},
    {IDC_FRAME_RATE, ControlKind::Edit, "", 79, 231, 40, 14, kEditStyle},
    {IDC_STOP, ControlKind::PushButton, "STOP", 39, 145, 50, 14, kTabStop},
    {IDC_PICTURE, ControlKind::Picture, "", 143, 46, 232, 191, kNoStyle},
    {IDC_USE_TRUETRACKS, ControlKind::CheckBox, "Use TrueTracks", 47, 197, 67, 10, kTabStop},
    {IDC_SHOW_TRACK, ControlKind::CheckBox, "Show Track", 47, 212, 55, 10, kTabStop},
}};

}  // namespace

const DialogTemplate& AboutBoxTemplate() {
  static const DialogTemplate t{IDD_ABOUTBOX,
                                kPopup | kCaption | kSysMenu | kModalFrame | kSetFont,
                                "About Korvane",
                                "MS Sans Serif",
                                8,
                                0,
                                0,
                                235,
                                55,
                                kAboutControls};
  return t;
}

const DialogTemplate& ConsoleTemplate() {
  static const DialogTemplate t{
      IDD_KORVANE_DIALOG,
      kPopup | kVisible | kCaption | kSysMenu | kModalFrame | kSetFont | kAppWindow,
      "Korvane",
      "MS Sans Serif",
      8,
      0,
      0,
      235,
      130,
      kConsoleControls};
  return t;
}

const DialogTemplate& FileReadTemplate() {
  static const DialogTemplate t{IDD_FILEREAD,
                                kPopup | kCaption | kSysMenu | kModalFrame | kSetFont,
                                "Dialog",
                                "MS Sans Serif",
                                8,
                                0,
                                0,
                                396,
                                252,
                                kFileReadControls};
  return t;
}

}  // namespace res
