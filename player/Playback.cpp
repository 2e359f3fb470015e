// Playback: READ starts the timer, each tick shows one frame file, STOP ends.

#include <climits>
#include <cstdint>
#include <span>

#include "image/FrameDisplay.h"
#include "player/FileRead.h"
#include "player/PlaybackCore.h"
#include "res/ResourceIds.h"
#include "tracks/TrackGlobals.h"

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
  if (!m_frame)
    return;  // no READ has made a buffer; a tick without one reads nothing

  // Both boxes are read at every tick, so a change shows from the next frame.
  const OverlaySwitches overlays{
      .trails = IsDlgButtonChecked(IDC_SHOW_TRACK) == ui::BST_CHECKED,
      .markers = IsDlgButtonChecked(IDC_USE_TRUETRACKS) == ui::BST_CHECKED};
  const std::span<std::uint8_t> frame(m_frame.get(), static_cast<std::size_t>(m_frameBytes));
  switch (PlayFrame(m_fileName, m_rootPath, m_curFrame, frame, m_width, g_trueTracks, overlays)
              .outcome) {
    case FrameOutcome::Missing:
    case FrameOutcome::NameTooLong:
      // The playback ends at a file that cannot be opened, and at a name that
      // cannot name one.
      KillTimer(IDT_TIMER_0);
      return;
    case FrameOutcome::Unreadable:
      return;  // the timer goes on; the next tick tries the same file again
    case FrameOutcome::Shown:
      break;
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
