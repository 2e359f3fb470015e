// Playback: READ starts the timer, each tick shows one frame file, STOP ends.

#include <climits>
#include <cstdio>
#include <span>

#include "image/BmpFile.h"
#include "image/FrameDisplay.h"
#include "player/FileRead.h"
#include "player/TrackOverlays.h"
#include "res/ResourceIds.h"
#include "tracks/TrackGlobals.h"
#include "ui/core/BinaryFile.h"
#include "ui/core/Trace.h"

using namespace res;

void CFileRead::OnRead() {
  if (!UpdateData(true))
    return;  // the exchange has shown why

  if (IsDlgButtonChecked(IDC_USE_TRUETRACKS) == ui::BST_CHECKED) {
    g_trueTracks.LoadTrueTracks();  // playback starts whether or not it loaded
  }

  // A new, cleared buffer: a frame never fully read shows black rather than
  // whatever memory held before.
  m_frameBytes = m_width * m_height * 3;
  m_frame.reset();
  m_frame = std::make_unique<unsigned char[]>(static_cast<std::size_t>(m_frameBytes));
  m_curFrame = m_startFrame;

  const auto interval = static_cast<ui::UINT>(1000.0 / m_frameRate);
  m_timerId = SetTimer(IDT_TIMER_0, interval);
  if (m_timerId == 0) {
    MessageBox("Unable to obtain timer", "IDT_TIMER_0", ui::MB_SYSTEMMODAL);
  }
}

void CFileRead::OnPlayTimer(ui::UINT timerId) {
  if (timerId != IDT_TIMER_0)
    return;

  // A name that does not fit the buffer cannot name a frame file: the
  // playback ends as it does at a missing file.
  const int length =
      std::snprintf(m_fileName, sizeof m_fileName, "%s_%04d.bmp", m_rootPath.c_str(), m_curFrame);
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof m_fileName) {
    m_fileName[0] = '\0';
    KillTimer(IDT_TIMER_0);
    return;
  }

  ui::BinaryFile file;
  if (!file.Open(m_fileName, ui::BinaryFile::Mode::Read)) {
    KillTimer(IDT_TIMER_0);
    return;
  }
  ui::Trace("filename: %s\n", m_fileName);

  // A short header or a missing signature leaves everything as it is; the
  // timer goes on and the next tick tries the same file again.
  BmpHeaders headers;
  if (ReadBmpHeaders(file, headers).result != BmpHeaderRead::Complete)
    return;

  // The pixels follow byte 54 whatever the headers say; a short block fills
  // the bottom rows and the rest keeps the previous frame.
  if (!m_frame)
    return;
  file.Read(m_frame.get(), static_cast<std::size_t>(m_frameBytes));
  file.Close();

  const std::span<unsigned char> frame(m_frame.get(), static_cast<std::size_t>(m_frameBytes));
  if (IsDlgButtonChecked(IDC_SHOW_TRACK) == ui::BST_CHECKED) {
    DrawTrails(frame, m_width, g_trueTracks);
  }
  if (IsDlgButtonChecked(IDC_USE_TRUETRACKS) == ui::BST_CHECKED) {
    DrawMarkers(frame, m_width, m_curFrame, g_trueTracks);
  }
  ShowFrame(m_frame.get(), m_width, m_height);

  // The highest frame number has no successor: the playback ends there
  // instead of overflowing the counter.
  if (m_curFrame == INT_MAX) {
    KillTimer(IDT_TIMER_0);
    return;
  }
  ++m_curFrame;
  SetDlgItemInt(IDC_LAST_FRAME, m_curFrame);
  if (m_curFrame > m_lastFrame)
    KillTimer(IDT_TIMER_0);
}

void CFileRead::OnStop() {
  if (m_timerId != 0)
    KillTimer(m_timerId);
}
