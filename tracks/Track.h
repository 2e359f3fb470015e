#pragma once
// One ground-truth target: where its trail starts and ends, whether it is in
// use, and its picture position at every frame number of a series.

#include <memory>

// The track set holds this many targets; the track file may name fewer.
inline constexpr int MAX_TRACKS = 50;
// Each target has a position for frame numbers 0 to MAX_TRACK_FRAMES - 1.
inline constexpr int MAX_TRACK_FRAMES = 500;

// True when frame can index a track's position arrays.
constexpr bool IsTrackFrame(int frame) {
  return frame >= 0 && frame < MAX_TRACK_FRAMES;
}

class CTrack {
 public:
  CTrack() = default;
  CTrack(const CTrack&) = delete;
  CTrack& operator=(const CTrack&) = delete;

  // Stores (x, y) as the position at frame. A frame outside the arrays is
  // ignored, so no caller can write past them.
  void SetPoint(int x, int y, int frame);

  // Frame at which the trail starts; 0 means not started yet, so a start at
  // frame 0 cannot be recorded.
  int m_firstFrame = 0;
  // Frame at which the trail ends, exclusive; 0 means not ended yet.
  int m_endFrame = 0;
  // Always m_firstFrame - m_endFrame, written together with m_endFrame.
  int m_frameDiff = 0;
  // 1 while the target is in use, 0 once the loader has disabled it.
  int m_enabled = 1;
  // Picture position per frame number (x from the left, y from the top);
  // (0, 0) means no position. The arrays start zeroed rather than holding
  // whatever the allocator left, so an unloaded frame reads as absent.
  std::unique_ptr<int[]> m_x = std::make_unique<int[]>(MAX_TRACK_FRAMES);
  std::unique_ptr<int[]> m_y = std::make_unique<int[]>(MAX_TRACK_FRAMES);
};
