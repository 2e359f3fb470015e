// Arming the frame recorder: the frame size, both buffers, the frame source
// and the record timer, set up together or not at all.

#include <memory>
#include <optional>
#include <utility>

#include "console/KorvaneDlg.h"
#include "image/ImageBytes.h"
#include "res/ResourceIds.h"

bool CKorvaneDlg::ArmRecorder(int width, int height, ui::UINT periodMs, FrameSource source) {
  if (m_inFrameSource || g_stopRecording != 0 || width <= 0 || height <= 0 || periodMs == 0 ||
      !source)
    return false;
  // Only frames the writer takes: a frame file stores its size in 32 bits.
  const std::optional<std::size_t> bytes = ImageBytes(width, height);
  if (!bytes)
    return false;

  auto capture = std::make_unique<unsigned char[]>(*bytes);
  auto output = std::make_unique<unsigned char[]>(*bytes);
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

bool CKorvaneDlg::IsArmed() const {
  return m_captureBuffer && m_outputBuffer && m_width > 0 && m_height > 0;
}

RecorderState CKorvaneDlg::GetRecorderState() const {
  if (g_stopRecording != 0)
    return RecorderState::Stopped;
  if (IsArmed())
    return RecorderState::Recording;
  return RecorderState::Idle;
}
