#pragma once
// Resource symbols: dialog templates, controls, strings, icons, menu commands
// and timers.

namespace res {

// Dialog templates.
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDD_KORVANE_DIALOG = 102;
inline constexpr int IDD_FILEREAD = 132;

// Icons.
inline constexpr int IDR_MAINFRAME = 128;

// Strings.
inline constexpr int IDS_ABOUTBOX = 101;
inline constexpr int IDS_RECORD_TIMER = 102;

// System-menu command of the About entry; its low four bits are zero.
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;

// Controls.
inline constexpr int IDC_RECORD = 1000;
inline constexpr int IDC_QUIT = 1001;
inline constexpr int IDC_STOP = 1002;
inline constexpr int IDC_ROOT_PATH = 1003;
inline constexpr int IDC_START_FRAME = 1008;
inline constexpr int IDC_LAST_FRAME = 1009;
inline constexpr int IDC_READ_SERIES = 1010;
inline constexpr int IDC_READ = 1011;
inline constexpr int IDC_FRAME_RATE = 1012;
inline constexpr int IDC_BROWSE = 1015;
inline constexpr int IDC_PICTURE = 1016;
inline constexpr int IDC_USE_TRUETRACKS = 1017;
inline constexpr int IDC_SHOW_TRACK = 1018;
inline constexpr int IDC_STATIC = -1;
inline constexpr int IDC_ABOUT_ICON = -2;

// Timers.
inline constexpr unsigned IDT_TIMER_0 = 1;
inline constexpr unsigned IDT_RECORD = 102;

}  // namespace res
