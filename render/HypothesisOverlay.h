#pragma once
// A tracker's hypotheses painted over rendered frames, after the player's
// own overlays, in colours of their own:
//
//   cyan ring     each hypothesis of the frame: two pixels wide, right around
//                 the 10 × 10 square a truth marker at its position covers,
//                 so a hypothesis on its target frames the red marker
//   magenta ring  a miss: a truth object the frame's matching left
//                 unmatched, two pixels wide, two pixels out from its marker
//   yellow ring   a false positive: an unmatched hypothesis that is not
//                 ignored, just outside its cyan ring
//
// Positions follow the player's block geometry (tools/README.md): (x, y) is
// the bottom-left pixel of the marker square, y counted from the top of a
// 240-row picture; a hypothesis is rounded to the nearest pixel. Every ring
// is clipped to the buffer, wherever the position lies.

#include <cstdint>
#include <span>
#include <vector>

#include "eval/Evaluation.h"
#include "eval/FrameObjects.h"
#include "player/TrackOverlays.h"

inline constexpr OverlayColour kHypothesisColour{255, 255, 0};     // cyan
inline constexpr OverlayColour kMissColour{255, 0, 255};           // magenta
inline constexpr OverlayColour kFalsePositiveColour{0, 255, 255};  // yellow
inline constexpr int kRingWidth = 2;

class HypothesisOverlay {
 public:
  // Every hypothesis as a plain marker, without misses or false positives.
  explicit HypothesisOverlay(FrameObjects hypotheses);
  // With the misses and false positives of each frame as evaluate finds
  // them: the frames matched in order from frame 0 with the threshold, the
  // unmatched hypotheses the ignore test accepts not marked.
  HypothesisOverlay(FrameObjects hypotheses, const FrameObjects& truth, double threshold,
                    const IgnoreTest& ignorable);

  // Paints the rings of frame `frame` into a bottom-up buffer of rows
  // `width` pixels wide (blue-green-red).
  void Paint(std::span<std::uint8_t> pixels, int width, int frame) const;

 private:
  FrameObjects m_hypotheses;
  // For each object of m_hypotheses.All(): whether it is a false positive.
  std::vector<char> m_falsePositive;
  FrameObjects m_misses;
};

// Paints a ring `thickness` pixels wide whose inside is the square of `size`
// pixels with bottom-left pixel (x, y), widened by `gap` on every side.
// Whatever lies outside the buffer is cut off.
void PaintRing(std::span<std::uint8_t> pixels, int width, std::int64_t x, std::int64_t y, int size,
               int gap, int thickness, OverlayColour colour);
