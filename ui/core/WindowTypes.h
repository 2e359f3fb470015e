#pragma once
// The message numbers, command ids and style values that the program's dialogs
// speak. They are fixed numbers, so that ids stored in templates and menus
// stay stable whatever backend shows the windows.

#include <cstdint>

namespace ui {

using UINT = unsigned int;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;

// Messages.
inline constexpr UINT WM_CLOSE = 0x0010;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_ICONERASEBKGND = 0x0027;
inline constexpr UINT WM_QUERYDRAGICON = 0x0037;
inline constexpr UINT WM_COMMAND = 0x0111;
inline constexpr UINT WM_SYSCOMMAND = 0x0112;
inline constexpr UINT WM_TIMER = 0x0113;

// Notification code of a button click, carried in the high word of WM_COMMAND.
inline constexpr UINT BN_CLICKED = 0;

constexpr WPARAM MakeWParam(UINT low, UINT high) {
  return static_cast<WPARAM>((low & 0xFFFFu) | ((high & 0xFFFFu) << 16));
}
constexpr UINT LowWord(WPARAM value) {
  return static_cast<UINT>(value & 0xFFFFu);
}
constexpr UINT HighWord(WPARAM value) {
  return static_cast<UINT>((value >> 16) & 0xFFFFu);
}

// Standard command ids.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDHELP_COMMAND = 0xE146;

// System commands (the system menu's entries).
inline constexpr UINT SC_SIZE = 0xF000;
inline constexpr UINT SC_MOVE = 0xF010;
inline constexpr UINT SC_MINIMIZE = 0xF020;
inline constexpr UINT SC_MAXIMIZE = 0xF030;
inline constexpr UINT SC_CLOSE = 0xF060;
inline constexpr UINT SC_RESTORE = 0xF120;

// Menu item flags.
inline constexpr UINT MF_STRING = 0x0000;
inline constexpr UINT MF_GRAYED = 0x0001;
inline constexpr UINT MF_SEPARATOR = 0x0800;

// Message box styles and results.
inline constexpr UINT MB_OK = 0x0000;
inline constexpr UINT MB_ICONEXCLAMATION = 0x0030;
inline constexpr UINT MB_SYSTEMMODAL = 0x1000;

// Open-file dialog flags.
inline constexpr UINT OFN_OVERWRITEPROMPT = 0x0002;
inline constexpr UINT OFN_HIDEREADONLY = 0x0004;
inline constexpr UINT OFN_FILEMUSTEXIST = 0x1000;

// System metrics.
inline constexpr int SM_CXICON = 11;
inline constexpr int SM_CYICON = 12;
inline constexpr int SM_CXSMICON = 49;
inline constexpr int SM_CYSMICON = 50;

// Check-box states.
inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

}  // namespace ui
