// korvane-cli import from a video: every frame the libraries decode, from
// the first one asked for, fitted, centred or cropped into 320 × 240 exactly
// as a picture would be, with the same .geometry file and the video's frame
// rate and time base in it. Video frames are numbered from 1, as
// MOTChallenge numbers the frames its ground truth annotates.

#include <algorithm>
#include <climits>

#include "base/AtomicFile.h"
#include "base/Progress.h"
#include "geometry/GeometryFile.h"
#include "image/SeriesFrames.h"
#include "import/FrameCompose.h"
#include "import/ImageDecode.h"
#include "import/ImportShared.h"
#include "tools/CommandLine.h"
#include "tools/ImportVideo.h"
#include "video/VideoReader.h"

namespace cli {
namespace {

constexpr std::string_view kCommand = "import";

// The frames the run will write at most: what was asked, else what the
// container declares after the first frame read, else the series limit.
int PlannedFrames(const ImportSettings& settings, const video::VideoInfo& info) {
  if (settings.videoCount)
    return *settings.videoCount;
  const std::int64_t left = info.declaredFrames - (settings.firstVideoFrame - 1);
  if (info.declaredFrames > 0 && left > 0 && left <= kMaxSeriesFrames)
    return static_cast<int>(left);
  return kMaxSeriesFrames;
}

}  // namespace

int ImportVideo(const ImportSettings& settings, std::ostream& out, std::ostream& err) {
  video::VideoReader reader;
  if (auto problem = reader.Open(settings.source))
    return Failure(err, kCommand, *problem + "; no frame was written");
  const video::VideoInfo& info = reader.Info();

  FrameGeometry geometry;
  geometry.firstFrame = settings.start;
  geometry.firstSource = settings.firstVideoFrame;
  if (auto problem = PlanGeometry(settings.mode, info.width, info.height, settings.crop, geometry))
    return Failure(err, kCommand, settings.source + ": " + *problem + "; no frame was written");
  if (info.rateNumerator > 0)
    geometry.videoRate = {info.rateNumerator, info.rateDenominator};
  if (info.timeBaseNumerator > 0)
    geometry.videoTimeBase = {info.timeBaseNumerator, info.timeBaseDenominator};
  const int planned = PlannedFrames(settings, info);
  if (settings.start > INT_MAX - (planned - 1))
    return UsageError(err, kCommand,
                      "the frames would be numbered beyond " + std::to_string(INT_MAX));

  const std::string geometryFile = settings.outRoot + ".geometry";
  if (const auto over =
          OutputOverSource({settings.source},
                           {geometryFile, series::FrameFileName(settings.outRoot, settings.start)}))
    return Failure(err, kCommand, "refuses to write " + *over + ": it is the source");

  // Frames before the first one asked for are decoded and passed over.
  std::vector<std::uint8_t> rgb;
  for (int skipped = 1; skipped < settings.firstVideoFrame; ++skipped) {
    if (!reader.ReadFrame(rgb)) {
      const std::string why = reader.Problem() ? *reader.Problem()
                                               : settings.source + ": the video has only " +
                                                     std::to_string(skipped - 1) + " frames";
      return Failure(err, kCommand, why + "; no frame was written");
    }
  }

  const PixelRect read = SourceReadRect(geometry);
  const PixelRect shownPart = ShownPart(geometry);
  std::vector<std::uint8_t> frame(kFrameBytes);
  std::vector<std::uint8_t> scratch;
  std::vector<std::string> outputs;
  base::Progress progress(err, base::ProgressStyleFor(err), kCommand, planned);
  std::optional<std::string> problem;
  while (static_cast<int>(outputs.size()) < planned && reader.ReadFrame(rgb)) {
    const RgbView picture{rgb, info.width, info.height, static_cast<std::size_t>(info.width) * 3};
    const RgbImage shown = CropAndScale(picture, read, shownPart.width, shownPart.height);
    if (!ComposeFrame(shown.View(), geometry, frame, scratch)) {
      problem = settings.source + ": a decoded frame does not fit the frame";
      break;
    }
    // The folder is made, and the geometry goes in, with the first frame: a
    // run that writes no frame leaves nothing behind.
    if (outputs.empty()) {
      if ((problem = MakeOutputFolder(settings.outRoot)) ||
          (problem = base::WriteFileAtomically(geometryFile, GeometryText(geometry))))
        break;
    }
    const std::string name =
        series::FrameFileName(settings.outRoot, settings.start + static_cast<int>(outputs.size()));
    if ((problem = series::WriteFrameFileAtomically(name, frame, kFrameWidth, kFrameHeight)))
      break;
    outputs.push_back(name);
    progress.Update(static_cast<int>(outputs.size()));
  }
  progress.Finish();
  if (!problem && reader.Problem())
    problem = *reader.Problem();
  // A video that ends before the frames asked for, or well before the
  // length its container gives, was most likely cut short: the frames it
  // held are kept, but the run fails. A run that stopped at the series limit
  // says so instead.
  const int written = static_cast<int>(outputs.size());
  const std::int64_t reached = settings.firstVideoFrame - 1 + std::int64_t{written};
  const std::int64_t slack = std::max<std::int64_t>(2, info.declaredFrames / 50);
  if (!problem && written == 0) {
    problem = settings.source + ": no frame from video frame " +
              std::to_string(settings.firstVideoFrame) + " on";
  } else if (!problem && written < planned && settings.videoCount) {
    problem = settings.source + ": the video ends after frame " + std::to_string(reached) +
              ", before the " + std::to_string(*settings.videoCount) + " frames asked for";
  } else if (!problem && written < planned && info.declaredFrames > 0 &&
             reached < info.declaredFrames - slack) {
    problem = settings.source + ": the video ends after frame " + std::to_string(reached) +
              " of the " + std::to_string(info.declaredFrames) + " its container gives";
  } else if (!problem && written == kMaxSeriesFrames && !settings.videoCount) {
    err << "korvane-cli import: note: stopped at " << kMaxSeriesFrames
        << " frames, the most one import writes; --first-frame and --count take the rest\n";
  }
  if (problem) {
    return Failure(err, kCommand,
                   *problem + "; " + Completed(outputs, static_cast<int>(outputs.size())));
  }
  out << "import: wrote " << outputs.size() << " frames, " << outputs.front() << " to "
      << outputs.back() << ", and " << geometryFile << '\n';
  return kExitOk;
}

}  // namespace cli
