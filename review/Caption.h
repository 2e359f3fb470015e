#pragma once
// The caption line at the top-left of every review frame: the source frame
// number, the running MOTA and IDF1 (the scores of the frames up to and
// including this one, as the evaluation would give them for that part of
// the sequence) and the frame's own error counts.

#include <optional>
#include <string>
#include <string_view>

#include "review/Canvas.h"
#include "review/Marks.h"

namespace review {

struct CaptionFigures {
  int frame = 0;
  std::optional<double> mota;  // nothing before the first truth object
  std::optional<double> idf1;
  int misses = 0;
  int falsePositives = 0;
  int switches = 0;
};

// "frame 12  MOTA 0.8123  IDF1 0.7000  FN 2  FP 0  IDSW 1": ratios as
// evaluate prints them, "-" where there is none yet.
std::string CaptionText(const CaptionFigures& figures);

// A ratio as evaluate prints it ("0.8123"), "-" for none.
std::string RatioText(const std::optional<double>& value);

// White text on a black band across the top-left corner; returns the band.
PixelRect PaintCaption(Canvas canvas, std::string_view text, const MarkSizes& sizes);

}  // namespace review
