// Arming the frame recorder: the frame size, both buffers, the frame source
// and the record timer, set up together or not at all.

#include <climits>
#include <memory>
#include <utility>

#include "console/KorvaneDlg.h"
#include "res/ResourceIds.h"

bool CKorvaneDlg::ArmRecorder(int width, int height, ui::UINT periodMs, FrameSource source) {
  if (m_inFrameSource || g_stopRecording != 0 || width <= 0 || height <= 0 || periodMs == 0 ||
      !source)
    return false;
  // A frame file stores its size in 32 bits, and the writer refuses frames
  // whose byte count does not fit a signed 32-bit value.
  const long long bytes = static_cast<long long>(width) * height * 3;
  if (bytes > INT_MAX)
    return false;

  auto capture = std::make_unique<unsigned char[]>(static_cast<std::size_t>(bytes));
  auto output = std::make_unique<unsigned char[]>(static_cast<std::size_t>(bytes));
  // Ticks arrive only as messages of this thread, so none can come between
  // starting the timer and taking the new buffers below.
  if (SetTimer(res::IDT_RECORD, periodMs) == 0)
    return false;

  m_width = width;
  m_height = height;
  m_captureBuffer = std::move(capture);
  m_outputBuffer = std::move(output);
  m_frameSource = std::move(source);
  return true;
}

RecorderState CKorvaneDlg::GetRecorderState() const {
  if (g_stopRecording != 0)
    return RecorderState::Stopped;
  if (m_captureBuffer && m_outputBuffer && m_width > 0 && m_height > 0)
    return RecorderState::Recording;
  return RecorderState::Idle;
}
