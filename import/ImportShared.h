#pragma once
// What the two importers share (pictures and video): their settings, and the
// checks and words around the frames they write.

#include <functional>
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

// Why an import stopped. A usage problem lies in the request itself (a
// pattern that is none, frames numbered beyond what a series can hold); a
// failure in the files. The text is whole: what went wrong, and for a run
// that had begun, which frames are complete.
struct ImportProblem {
  enum class Kind { kUsage, kFailure };
  Kind kind = Kind::kFailure;
  std::string text;
};

// What an import wrote: its frame files, complete and in order, and the
// geometry beside them; or why it stopped.
struct ImportOutcome {
  std::vector<std::string> frames;
  std::string geometryFile;
  std::optional<ImportProblem> problem;
};

// An outcome stopped by a failure of the files, or by the request itself.
ImportOutcome FailedImport(std::string text);
ImportOutcome RefusedImport(std::string text);

// Receives each note on the run as it is met (a source of mixed sizes, a
// video stopped at the series limit), for the command to print.
using ImportNoteSink = std::function<void(const std::string& note)>;

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
