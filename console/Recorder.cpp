// The frame recorder: each tick of the record timer writes the captured frame
// as the next numbered frame file under the root path.

#include <climits>
#include <cstdio>
#include <span>

#include "console/FrameRearrange.h"
#include "console/KorvaneDlg.h"
#include "image/BmpFile.h"
#include "image/SeriesFrames.h"
#include "res/ResourceIds.h"

using namespace res;

void CKorvaneDlg::OnRecordTimer(ui::UINT nIDEvent) {
  // The counter is never increased past INT_MAX: a tick at that count has no
  // number left for its file and writes nothing.
  if (nIDEvent == IDT_RECORD && GetRecorderState() == RecorderState::Recording &&
      g_recordedFrames < INT_MAX) {
    const std::size_t bytes =
        static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height) * 3;
    if (m_frameSource) {
      m_inFrameSource = true;
      m_frameSource(g_recordedFrames, std::span<std::uint8_t>(m_captureBuffer.get(), bytes));
      m_inFrameSource = false;
    }
    // The source may have stopped the recorder, which releases the capture
    // buffer: the tick then writes nothing.
    if (GetRecorderState() == RecorderState::Recording) {
      // The counter counts ticks: a file that cannot be written still uses up
      // its number.
      const int n = g_recordedFrames;
      ++g_recordedFrames;
      const int length = series::FormatFrameFileName(m_fileName, g_rootPath, n);
      if (g_recordedFrames % 20 == 0) {
        std::printf("Frame %d\n", g_recordedFrames);
        std::fflush(stdout);
      }
      RearrangeCapture(std::span<const std::uint8_t>(m_captureBuffer.get(), bytes),
                       std::span<std::uint8_t>(m_outputBuffer.get(), bytes), m_width, m_height);
      if (length > 0) {
        WriteBmpFile(m_fileName, std::span<const unsigned char>(m_outputBuffer.get(), bytes),
                     m_width, m_height);
      }
    }
  }
  ui::ModalDialog::OnTimer(nIDEvent);
}

void CKorvaneDlg::OnStopRecording() {
  g_stopRecording = 1;
  KillTimer(IDT_RECORD);
  m_captureBuffer.reset();
}
