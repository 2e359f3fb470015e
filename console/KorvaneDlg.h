#pragma once
// The console: the program's main window. It holds the root path of the series
// (chosen with Browse), opens the player with its presets, ends the program
// (Quit), and carries the frame recorder driven by its record timer.

#include <memory>

#include "ui/core/Dialog.h"
#include "ui/core/Icon.h"

// Root path of the series, at most 251 characters; written only by Browse.
extern char g_rootPath[252];
// Record ticks so far: the number in the next recorded file's name.
extern int g_recordedFrames;
// 1 once Stop Recording has been pressed; recording never resumes.
extern int g_stopRecording;

// Room for the longest name a record tick can form: the longest root path, an
// underscore, the longest frame number with its sign, ".bmp" and the zero.
inline constexpr int kRecordFileNameSize = 252 + 1 + 11 + 4;

class CKorvaneDlg : public ui::CDialog {
 public:
  explicit CKorvaneDlg(ui::CDialog* parent = nullptr);
  ~CKorvaneDlg() override = default;

  bool OnInitDialog() override;

  // Handlers, bound through the message map.
  void OnSysCommand(ui::UINT nID, ui::LPARAM lParam);
  void OnPaint();
  ui::HICON OnQueryDragIcon();
  void OnQuit();
  void OnRecord();
  void OnStopRecording();
  void OnReadFileSeries();
  void OnRecordTimer(ui::UINT nIDEvent);
  void OnBrowse();

  ui::HICON m_hIcon = nullptr;
  // The recorder's frame: size, source frame (top row first, red-green-blue)
  // and the rearranged frame that is written (bottom row first,
  // blue-green-red). Both buffers are owned by the console.
  int m_width = 0;
  int m_height = 0;
  std::unique_ptr<unsigned char[]> m_captureBuffer;
  std::unique_ptr<unsigned char[]> m_outputBuffer;
  char m_fileName[kRecordFileNameSize] = {};

 protected:
  const ui::MessageMapBase* GetMessageMap() const override;
};
