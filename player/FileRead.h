#pragma once
// The player: a modal dialog that plays a numbered series of frame files at a
// chosen rate in its picture control, optionally with the ground-truth tracks
// painted over each frame. There is one player, g_fileReadDlg, which keeps its
// members from one showing to the next.

#include <memory>
#include <string>

#include "ui/core/DataExchange.h"
#include "ui/core/Dialog.h"

class CFileRead : public ui::ModalDialog {
 public:
  explicit CFileRead(ui::ModalDialog* parent = nullptr);
  // Releases the frame buffer first, then the other members go; the display
  // forgets the picture control.
  ~CFileRead() override;

  // Moves the fields between the boxes and the members, in this order: root
  // path, frame rate (1..30), last frame, start frame. Reading stops at the
  // first bad field, which keeps the focus and shows why.
  void ExchangeData(ui::DataExchange* dx) override;

  // READ: read the fields, load the track file if asked, start playing.
  void OnRead();
  // One tick of the playback timer.
  void OnPlayTimer(ui::UINT timerId);
  // STOP: stop the timer; everything else stays.
  void OnStop();

  char m_fileName[460] = {};                 // name of the frame file of the current tick
  int m_curFrame = 0;                        // the frame the next tick reads
  std::unique_ptr<unsigned char[]> m_frame;  // the frame buffer, allocated by READ
  int m_width = 320;
  int m_height = 240;
  int m_frameBytes = 0;  // size of m_frame
  ui::UINT m_timerId = 0;
  ui::PictureControl m_picture;  // the picture control frames are drawn into
  std::string m_rootPath;
  int m_frameRate = 10;
  int m_lastFrame = 0;
  int m_startFrame = 0;

 protected:
  const ui::MessageMapBase* GetMessageMap() const override;
};

// The one player, alive for the whole run (defined with the program's other
// globals, app/Globals.cpp).
extern CFileRead g_fileReadDlg;
