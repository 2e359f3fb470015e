#include "tracks/Track.h"

void CTrack::SetPoint(int x, int y, int frame) {
  if (!IsTrackFrame(frame)) {
    return;
  }
  m_x[frame] = x;
  m_y[frame] = y;
}
