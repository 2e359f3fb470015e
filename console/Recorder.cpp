// The frame recorder: each tick of the record timer writes the captured frame
// as the next numbered frame file under the root path.

#include <cstdio>
#include <span>

#include "console/FrameRearrange.h"
#include "console/KorvaneDlg.h"
#include "image/BmpFile.h"
#include "res/ResourceIds.h"

using namespace res;

void CKorvaneDlg::OnRecordTimer(ui::UINT nIDEvent) {
  const bool armed = m_captureBuffer && m_outputBuffer && m_width > 0 && m_height > 0;
  if (nIDEvent == IDT_RECORD && g_stopRecording == 0 && armed) {
    // The counter counts ticks: a file that cannot be written still uses up
    // its number.
    const int n = g_recordedFrames;
    ++g_recordedFrames;
    const int length = std::snprintf(m_fileName, sizeof m_fileName, "%s_%04d.bmp", g_rootPath, n);
    if (g_recordedFrames % 20 == 0) {
      std::printf("Frame %d\n", g_recordedFrames);
      std::fflush(stdout);
    }
    const std::size_t bytes =
        static_cast<std::size_t>(m_width) * static_cast<std::size_t>(m_height) * 3;
    RearrangeCapture(std::span<const std::uint8_t>(m_captureBuffer.get(), bytes),
                     std::span<std::uint8_t>(m_outputBuffer.get(), bytes), m_width, m_height);
    if (length > 0 && static_cast<std::size_t>(length) < sizeof m_fileName) {
      WriteBmpFile(m_fileName, std::span<const unsigned char>(m_outputBuffer.get(), bytes), m_width,
                   m_height);
    }
  }
  ui::CDialog::OnTimer(nIDEvent);
}

void CKorvaneDlg::OnStopRecording() {
  g_stopRecording = 1;
  KillTimer(IDT_RECORD);
  m_captureBuffer.reset();
}
