#include "import/PictureImport.h"

#include <climits>

#include "base/FileStatus.h"
#include "base/InputFile.h"
#include "base/Progress.h"
#include "image/SeriesFrames.h"
#include "import/FrameCompose.h"
#include "import/ImageDecode.h"
#include "import/ImportSource.h"
#include "import/OrderedWork.h"
#include "import/SeriesWriter.h"

namespace cli {
namespace {

// What keeps a source that is neither a folder nor a pattern from being
// read, in the inputs' words: a FIFO or a device, whatever its name, or
// nothing at all under a video's name (no conversion, no picture's ending).
// Nothing when the source is to be read as a folder or a pattern.
std::optional<base::FileFault> SourceFault(const std::string& source) {
  if (base::IsFolder(source))
    return std::nullopt;
  const std::optional<base::FileFault> fault = base::RegularFileFault(source);
  if (fault && fault->kind == base::FileFault::Kind::Missing &&
      (source.find('%') != std::string::npos || HasPictureEnding(source)))
    return std::nullopt;
  return fault;
}

// The picture files of the source, in order, or why there are none to read.
std::optional<ImportProblem> ListSource(const ImportSettings& settings, SourceFrames& frames) {
  if (auto fault = SourceFault(settings.source))
    return ImportProblem{ImportProblem::Kind::kFailure, settings.source + ": " + fault->Describe()};
  if (base::IsFolder(settings.source)) {
    if (auto problem = ListFolderFrames(settings.source, PictureFileEndings(), frames))
      return ImportProblem{ImportProblem::Kind::kFailure, *problem};
    return std::nullopt;
  }
  FramePattern pattern;
  if (auto problem = ParsePattern(settings.source, pattern))
    return ImportProblem{ImportProblem::Kind::kUsage,
                         settings.source + " is not a folder, and " + *problem};
  if (auto problem = ListPatternFrames(pattern, settings.first, series::kMaxSeriesFrames, frames))
    return ImportProblem{ImportProblem::Kind::kFailure, *problem};
  return std::nullopt;
}

}  // namespace

ImportOutcome ImportPictures(const ImportSettings& settings, const ImportNoteSink& notes,
                             std::ostream& progressStream) {
  SourceFrames frames;
  if (auto problem = ListSource(settings, frames))
    return ImportOutcome{{}, {}, std::move(problem)};
  const int count = static_cast<int>(frames.paths.size());
  if (count > series::kMaxSeriesFrames || settings.start > INT_MAX - (count - 1))
    return RefusedImport("at most " + std::to_string(series::kMaxSeriesFrames) +
                         " frames, numbered below " + std::to_string(INT_MAX));
  if (frames.note)
    notes(*frames.note);

  std::vector<std::string> outputs;
  for (int i = 0; i < count; ++i)
    outputs.push_back(series::FrameFileName(settings.outRoot, settings.start + i));
  outputs.push_back(settings.outRoot + ".geometry");
  if (const auto over = OutputOverSource(frames.paths, outputs))
    return FailedImport("refuses to write " + *over + ": it is one of the sources");

  int width = 0;
  int height = 0;
  const std::string& first = frames.paths.front();
  if (auto reason = ReadPictureSize(first, width, height))
    return FailedImport(first + ": " + *reason + "; no frame was written");
  FrameGeometry geometry;
  geometry.firstFrame = settings.start;
  geometry.firstSource = frames.firstNumber;
  if (auto problem = PlanGeometry(settings.mode, width, height, settings.crop, geometry))
    return FailedImport(first + ": " + *problem + "; no frame was written");

  SeriesWriter writer(settings.outRoot, geometry);
  base::Progress progress(progressStream, base::ProgressStyleFor(progressStream), "import", count);
  const auto make = [&](int index, std::vector<std::uint8_t>& frame) -> std::optional<std::string> {
    const std::string& path = frames.paths[static_cast<std::size_t>(index)];
    RgbImage shown;
    if (auto reason = DecodeShownPart(path, geometry, shown))
      return path + ": " + *reason;
    std::vector<std::uint8_t> scratch;
    frame.resize(series::kFrameBytes);
    if (!ComposeFrame(shown.View(), geometry, frame, scratch))
      return path + ": the decoded picture does not fit the frame";
    return std::nullopt;
  };
  const auto use = [&](int index,
                       const std::vector<std::uint8_t>& frame) -> std::optional<std::string> {
    auto problem = writer.Add(frame);
    if (!problem)
      progress.Update(index + 1);
    return problem;
  };
  const std::optional<ItemFailure> failure = MakeAndUseInOrder(count, settings.jobs, make, use);
  progress.Finish();
  if (failure)
    return FailedImport(failure->reason + "; " + writer.CompletedText());
  return ImportOutcome{writer.Files(), writer.GeometryFile(), std::nullopt};
}

}  // namespace cli
