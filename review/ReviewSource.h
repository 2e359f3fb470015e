#pragma once
// The source of a review as SOURCE names it: a folder of pictures or a
// printf-style pattern (as import takes them), or a video file; opened at
// its own size or scaled, with the numbers of its frames and its rate.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "review/FrameSources.h"

namespace review {

struct ReviewSource {
  std::unique_ptr<FrameSource> frames;
  bool video = false;
  int firstNumber = 1;       // the number of frame index 0 (MOT numbering)
  std::optional<int> count;  // frames held, when known before reading them
  int sourceWidth = 0;       // the pictures' own size
  int sourceHeight = 0;
  std::optional<double> rate;      // frames a second, when the source says
  std::vector<std::string> files;  // what is read, so nothing writes over it
  std::optional<std::string> note;
};

// Opens SOURCE with its pictures scaled by `scale` (each side rounded, at
// least 1 pixel). A folder's pictures are numbered as import numbers them
// and a pattern's by their numbers; a video's frames from 1. The rate of a
// picture series is the frameRate of a MOTChallenge seqinfo.ini beside the
// pictures' folder, when there is one. Returns why it cannot, or nothing.
std::optional<std::string> OpenReviewSource(const std::string& source, double scale,
                                            ReviewSource& opened);

// The frameRate a MOTChallenge seqinfo.ini text gives, or nothing.
std::optional<double> SeqinfoFrameRate(const std::string& text);

}  // namespace review
