#pragma once
// What the two importers share (pictures and video): their settings, and the
// checks and words around the frames they write.

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "geometry/ImportGeometry.h"

namespace cli {

struct ImportSettings {
  std::string source;
  std::string outRoot;
  std::optional<int> first;
  int start = 0;
  FitMode mode = FitMode::Fit;
  PixelRect crop;
  int jobs = 1;
  // A video source only: the first video frame read (from 1) and how many.
  int firstVideoFrame = 1;
  std::optional<int> videoCount;
};

// The first output file that would replace one of the sources, if any.
std::optional<std::string> OutputOverSource(const std::vector<std::string>& sources,
                                            const std::vector<std::string>& outputs);

// Which of `outputs` are complete when `written` of them were written.
std::string Completed(const std::vector<std::string>& outputs, int written);

// True when `source` names a video rather than a folder, a pattern or a
// picture: a regular file whose ending is not a picture file's.
bool IsVideoSource(const std::string& source);
// True when the name ends as a picture file's (any case).
bool HasPictureEnding(const std::string& name);

}  // namespace cli
