#pragma once
// What a review frame shows of the evaluation, painted over the source
// picture (the legend of tools/README.md):
//
//   truth         a white ring just inside the box, the id in white on
//                 black at the box's top-left corner, inside it
//   hypothesis    a ring just outside the box in the colour of its id (a
//                 fixed palette, the same id always the same colour), the id
//                 in that colour on black above the box's top-left corner
//   miss          a magenta ring around the missed truth box, one line width
//                 outside the hypothesis ring's place and twice as thick, and
//                 a magenta "FN" tag under it
//   false         a yellow ring around the hypothesis box, placed as the
//   positive      miss ring, and a yellow "FP" tag under it
//   identity      a cyan ring around the truth box that changed hypothesis,
//   switch        placed as the miss ring, and a cyan "IDSW a>b" tag under
//                 it: the truth went from hypothesis id a to id b
//
// A point (a box of no size) is drawn as a white plus for truth, its id to
// the right, and otherwise as the rings of a small square around it. The four mark colours are used
// for nothing else: no hypothesis colour is near any of them. Tags are moved onto the picture when
// their box lies at or past its edge, so every error shows.

#include <span>
#include <vector>

#include "review/Canvas.h"

namespace review {

inline constexpr Rgb kTruthColour{255, 255, 255};
inline constexpr Rgb kMissColour{255, 0, 255};
inline constexpr Rgb kFalsePositiveColour{255, 255, 0};
inline constexpr Rgb kSwitchColour{0, 255, 255};
inline constexpr Rgb kBackingColour{0, 0, 0};

// The colours hypotheses are drawn in, id after id.
std::span<const Rgb> HypothesisPalette();
// The colour of hypothesis id `id` (any int, negative ones too).
Rgb HypothesisColour(int id);

// Line and text sizes for a picture: they grow with its height, so marks
// look the same on a 480-row and a 2160-row video.
struct MarkSizes {
  int line = 1;          // ring thickness, pixels
  int labelScale = 1;    // font scale of ids and tags
  int captionScale = 1;  // font scale of the caption line
};
MarkSizes MarkSizesFor(int height);

// A box in canvas pixels: left and top from the picture's top-left corner.
struct ReviewBox {
  int id = 0;
  double left = 0.0;
  double top = 0.0;
  double width = 0.0;
  double height = 0.0;
};

// A truth object matched, in this frame, to another hypothesis id than the
// one it was last matched to.
struct IdentitySwitch {
  int truth = 0;       // index into FrameMarks::truth
  int hypothesis = 0;  // index into FrameMarks::hypotheses, the new match
  int previousId = 0;  // the hypothesis id it was matched to before
};

// One frame's objects and errors.
struct FrameMarks {
  std::vector<ReviewBox> truth;
  std::vector<ReviewBox> hypotheses;
  std::vector<int> misses;          // indices into truth
  std::vector<int> falsePositives;  // indices into hypotheses
  std::vector<IdentitySwitch> switches;

  bool HasError() const { return !misses.empty() || !falsePositives.empty() || !switches.empty(); }
};

// The pixels a box covers (a point's small square), rounded to whole pixels
// and at least one pixel each way.
PixelRect BoxRect(const ReviewBox& box, const MarkSizes& sizes);
// Where each error's ring lies for the box it marks.
PixelRect ErrorRingRect(const ReviewBox& box, const MarkSizes& sizes);
int ErrorRingThickness(const MarkSizes& sizes);

// Paints the frame's objects, then its errors over them. Indices outside
// the frame's objects are passed over.
void PaintMarks(Canvas canvas, const FrameMarks& marks, const MarkSizes& sizes);

}  // namespace review
