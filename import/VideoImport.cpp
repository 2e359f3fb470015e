#include "import/VideoImport.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "base/InputFile.h"
#include "base/Progress.h"
#include "image/SeriesFrames.h"
#include "import/FrameCompose.h"
#include "import/ImageDecode.h"
#include "import/OrderedWork.h"
#include "import/SeriesWriter.h"
#include "video/VideoReader.h"

namespace cli {
namespace {

// Why no frame is made at the end of the stream; never shown.
constexpr std::string_view kStreamEnd = "the stream ends";

// The frames the run is expected to write, for its progress: what was asked,
// else what the container declares after the first frame read, else the
// series limit. The stream may give more, or fewer.
int ExpectedFrames(const ImportSettings& settings, const video::VideoInfo& info) {
  if (settings.videoCount)
    return *settings.videoCount;
  const std::int64_t left = info.declaredFrames - (settings.firstVideoFrame - 1);
  if (info.declaredFrames > 0 && left > 0 && left <= series::kMaxSeriesFrames)
    return static_cast<int>(left);
  return series::kMaxSeriesFrames;
}

std::string SecondsText(double seconds) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2f s", seconds);
  return text;
}

// Why a run that wrote `written` frames and met no error fails, or nothing.
// A run that ends before the frames asked for, or well before the length the
// file records for the stream, was most likely cut short; the frames it gave
// are kept either way. The stream's frames are what counts: a declared frame
// count or a length times the rate (wrong for edit lists, variable rates and
// joined streams) never stops a run or fails it.
std::optional<std::string> ShortRun(const ImportSettings& settings,
                                    const video::VideoReader& reader, int written) {
  const std::int64_t reached = settings.firstVideoFrame - 1 + std::int64_t{written};
  const video::VideoInfo& info = reader.Info();
  if (written == 0)
    return settings.source + ": no frame from video frame " +
           std::to_string(settings.firstVideoFrame) + " on";
  if (settings.videoCount) {
    if (written < *settings.videoCount)
      return settings.source + ": the video ends after frame " + std::to_string(reached) +
             ", before the " + std::to_string(*settings.videoCount) + " frames asked for";
    return std::nullopt;
  }
  const double slack = std::max(2.0 * info.frameSeconds, info.declaredSeconds / 50.0);
  if (written < series::kMaxSeriesFrames && info.declaredSeconds > 0.0 &&
      reader.ReachedSeconds() < info.declaredSeconds - slack)
    return settings.source + ": the video ends after frame " + std::to_string(reached) + ", at " +
           SecondsText(reader.ReachedSeconds()) + " of the " + SecondsText(info.declaredSeconds) +
           " its container gives";
  return std::nullopt;
}

// Opens the video and plans its frames' geometry. Returns why it cannot.
std::optional<ImportProblem> OpenVideo(const ImportSettings& settings, video::VideoReader& reader,
                                       FrameGeometry& geometry) {
  const auto failure = [](std::string text) {
    return ImportProblem{ImportProblem::Kind::kFailure, std::move(text)};
  };
  // The file's faults in the inputs' words, before the libraries open it.
  if (auto fault = base::UnreadableFileFault(settings.source))
    return failure(settings.source + ": " + fault->Describe());
  if (auto problem = reader.Open(settings.source))
    return failure(*problem + "; no frame was written");
  const video::VideoInfo& info = reader.Info();
  geometry.firstFrame = settings.start;
  geometry.firstSource = settings.firstVideoFrame;
  if (auto problem = PlanGeometry(settings.mode, info.width, info.height, settings.crop, geometry))
    return failure(settings.source + ": " + *problem + "; no frame was written");
  if (info.rateNumerator > 0)
    geometry.videoRate = {info.rateNumerator, info.rateDenominator};
  if (info.timeBaseNumerator > 0)
    geometry.videoTimeBase = {info.timeBaseNumerator, info.timeBaseDenominator};
  return std::nullopt;
}

}  // namespace

ImportOutcome ImportVideo(const ImportSettings& settings, const ImportNoteSink& notes,
                          std::ostream& progressStream) {
  video::VideoReader reader;
  FrameGeometry geometry;
  if (auto problem = OpenVideo(settings, reader, geometry))
    return ImportOutcome{{}, {}, std::move(problem)};
  const int expected = ExpectedFrames(settings, reader.Info());
  if (settings.start > INT_MAX - (expected - 1))
    return RefusedImport("the frames would be numbered beyond " + std::to_string(INT_MAX));
  // The stream decides how many frames come, up to the count asked for, the
  // series limit and the last frame number there is.
  const int limit = static_cast<int>(
      std::min<std::int64_t>(settings.videoCount.value_or(series::kMaxSeriesFrames),
                             std::int64_t{INT_MAX} - settings.start + 1));

  SeriesWriter writer(settings.outRoot, geometry);
  if (const auto over = OutputOverSource(
          {settings.source},
          {writer.GeometryFile(), series::FrameFileName(settings.outRoot, settings.start)}))
    return FailedImport("refuses to write " + *over + ": it is the source");

  // Frames before the first one asked for are decoded and passed over.
  std::vector<std::uint8_t> rgb;
  for (int skipped = 1; skipped < settings.firstVideoFrame; ++skipped) {
    if (!reader.ReadFrame(rgb)) {
      const std::string why = reader.Problem() ? *reader.Problem()
                                               : settings.source + ": the video has only " +
                                                     std::to_string(skipped - 1) + " frames";
      return FailedImport(why + "; no frame was written");
    }
  }

  // The reader crops and scales as it converts the colours, so each frame
  // comes at the size the frame shows it.
  const PixelRect read = SourceReadRect(geometry);
  const PixelRect shownPart = ShownPart(geometry);
  if (auto problem = reader.SetPart(
          {read.x, read.y, read.width, read.height, shownPart.width, shownPart.height}))
    return FailedImport(settings.source + ": " + *problem + "; no frame was written");
  // Frames are decoded and converted on a thread of their own, a few ahead,
  // and placed and written in order on this one: the decoder's threads are
  // fed while a frame file is written.
  std::vector<std::uint8_t> frame(series::kFrameBytes);
  std::vector<std::uint8_t> scratch;
  base::Progress progress(progressStream, base::ProgressStyleFor(progressStream), "import",
                          expected);
  const auto make = [&](int index, std::vector<std::uint8_t>& shown) -> std::optional<std::string> {
    if (reader.ReadFrame(shown))
      return std::nullopt;
    if (!reader.Problem())
      return std::string(kStreamEnd);
    return *reader.Problem() + ", after frame " +
           std::to_string(settings.firstVideoFrame - 1 + std::int64_t{index});
  };
  const auto use = [&](int, const std::vector<std::uint8_t>& pixels) -> std::optional<std::string> {
    const RgbView shown{pixels, shownPart.width, shownPart.height,
                        static_cast<std::size_t>(shownPart.width) * 3};
    if (!ComposeFrame(shown, geometry, frame, scratch))
      return settings.source + ": a decoded frame does not fit the frame";
    if (auto problem = writer.Add(frame))
      return problem;
    const int written = writer.Written();
    // A stream longer than its container said: the total grows by tenths.
    if (written >= progress.Total() && written < limit)
      progress.SetTotal(std::min(limit, written + std::max(1, written / 10)));
    progress.Update(written);
    return std::nullopt;
  };
  const std::optional<ItemFailure> failure = MakeAndUseInOrder(limit, 1, make, use);
  progress.Finish();
  std::optional<std::string> problem;
  if (failure && failure->reason != kStreamEnd)
    problem = failure->reason;
  const int written = writer.Written();
  if (!problem)
    problem = ShortRun(settings, reader, written);
  if (!problem && written == series::kMaxSeriesFrames && !settings.videoCount)
    notes("stopped at " + std::to_string(series::kMaxSeriesFrames) +
          " frames, the most one import writes; --first-frame and --count take the rest");
  if (!problem && written == limit &&
      limit < settings.videoCount.value_or(series::kMaxSeriesFrames) && reader.ReadFrame(rgb))
    problem = settings.source + ": the frames would be numbered beyond " + std::to_string(INT_MAX);
  if (problem)
    return FailedImport(*problem + "; " + writer.CompletedText());
  return ImportOutcome{writer.Files(), writer.GeometryFile(), std::nullopt};
}

}  // namespace cli
