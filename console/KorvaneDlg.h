#pragma once
// The console: the program's main window. It holds the root path of the series
// (chosen with Browse), opens the player with its presets, ends the program
// (Quit), and carries the frame recorder driven by its record timer.

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

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

// Fills the recorder's capture buffer (width × height × 3 bytes, top row
// first, red-green-blue) with the frame of the given record tick, whose number
// is the one the tick's file gets. Called at the start of every record tick,
// so it must not allocate; it may stop the recorder (the tick then writes
// nothing) but must not arm it again.
using FrameSource = std::function<void(int tick, std::span<std::uint8_t> capture)>;

// Idle until both buffers exist, Recording while they do, Stopped for good
// after Stop Recording.
enum class RecorderState { Idle, Recording, Stopped };

class CKorvaneDlg : public ui::ModalDialog {
 public:
  explicit CKorvaneDlg(ui::ModalDialog* parent = nullptr);
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

  // Arms the recorder: sets the frame size, creates both buffers, keeps the
  // source and starts the periodic record timer on the console's window. Each
  // record tick then asks the source for a frame before it writes one. False,
  // and nothing changed, when recording has been stopped (stopping is final),
  // a size is not positive, a frame would not fit the file format's 32-bit
  // size, the period is 0, the source is empty, or the timer cannot be had
  // (no window, for one). Arming again replaces size, buffers and source.
  bool ArmRecorder(int width, int height, ui::UINT periodMs, FrameSource source);
  RecorderState GetRecorderState() const;

  ui::HICON m_hIcon = nullptr;
  // The recorder's frame: size, source frame (top row first, red-green-blue)
  // and the rearranged frame that is written (bottom row first,
  // blue-green-red). Both buffers are owned by the console.
  int m_width = 0;
  int m_height = 0;
  std::unique_ptr<unsigned char[]> m_captureBuffer;
  std::unique_ptr<unsigned char[]> m_outputBuffer;
  char m_fileName[kRecordFileNameSize] = {};
  // Where the recorder's frames come from; empty until armed.
  FrameSource m_frameSource;
  // True while the frame source runs, so that it cannot re-arm the recorder
  // (and replace itself) in the middle of its own call.
  bool m_inFrameSource = false;

 protected:
  const ui::MessageMapBase* GetMessageMap() const override;

 private:
  // Both buffers exist for a frame of positive size.
  bool IsArmed() const;
};
