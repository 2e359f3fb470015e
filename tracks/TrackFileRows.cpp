#include "tracks/TrackFileRows.h"

#include "tracks/Track.h"

namespace {

TrackRowsEnd EndAt(ReadResult result, TrackRowsEnd atEndOfInput) {
  return result == ReadResult::kNotANumber ? TrackRowsEnd::kNotANumber : atEndOfInput;
}

}  // namespace

bool TrackFileRows::ReadHeader() {
  m_reader.SkipByteOrderMark();
  ReadResult result = m_reader.Read(m_count);
  if (result == ReadResult::kNumber)
    result = m_reader.Read(m_firstFrame);
  if (result != ReadResult::kNumber) {
    m_end = EndAt(result, TrackRowsEnd::kEndOfInput);
    return false;
  }
  if (m_count <= 0)
    m_end = TrackRowsEnd::kNoTargets;
  return true;
}

bool TrackFileRows::Next(TrackFileRow& row) {
  // A count of 0 or less has no rows (and a header not read, no count).
  if (m_end != TrackRowsEnd::kNotEnded || m_count <= 0)
    return false;
  // Formed wide: the first frame may be near INT_MAX or INT_MIN.
  const long long frame = m_firstFrame + m_rows / m_count;
  if (frame >= MAX_TRACK_FRAMES) {
    m_end = TrackRowsEnd::kFrameLimit;
    return false;
  }
  int x = 0;
  int y = 0;
  ReadResult result = m_reader.Read(x);
  if (result != ReadResult::kNumber) {
    m_end = EndAt(result, TrackRowsEnd::kEndOfInput);
    return false;
  }
  result = m_reader.Read(y);
  if (result != ReadResult::kNumber) {
    m_end = EndAt(result, TrackRowsEnd::kHalfRow);
    return false;
  }
  row = {static_cast<int>(frame), static_cast<int>(m_rows % m_count), x, y};
  ++m_rows;
  return true;
}

int TrackFileRows::EndFrame() const {
  if (m_count <= 0)
    return m_firstFrame;
  // Between the first frame and MAX_TRACK_FRAMES, or the first frame itself
  // when that lies beyond: an int either way.
  return static_cast<int>(m_firstFrame + m_rows / m_count);
}
