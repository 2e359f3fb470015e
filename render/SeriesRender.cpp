#include "render/SeriesRender.h"

#include <optional>
#include <span>

#include "base/BinaryFile.h"
#include "base/InputFile.h"
#include "base/MadeFolders.h"
#include "base/Progress.h"
#include "base/Trace.h"
#include "image/SeriesFrames.h"
#include "player/TrackOverlays.h"
#include "render/HypothesisOverlay.h"
#include "video/VideoWriter.h"

namespace {

class Render {
 public:
  Render(const RenderSettings& settings, const CTrackSet& tracks,
         const HypothesisOverlay* hypotheses, const RenderProblemSink& problems,
         std::ostream& progress, std::string_view label)
      : m_settings(settings),
        m_tracks(tracks),
        m_hypotheses(hypotheses),
        m_problems(problems),
        m_progress(progress, base::ProgressStyleFor(progress), label,
                   settings.last - settings.first + 1) {}

  RenderOutcome Run() {
    if (!m_settings.video.empty()) {
      if (const auto problem = m_video.Open(m_settings.video, kWidth, kHeight, m_settings.rate)) {
        Fail(*problem);
        return m_outcome;
      }
      m_held.assign(m_pixels.size(), 0);
    }
    m_outcome.played = true;
    // The player's trace (a line per file opened) is for a debugger.
    const base::ScopedTraceSink quiet([](std::string_view) {});
    for (int frame = m_settings.first; frame <= m_settings.last && !m_stopped; ++frame) {
      if (const std::optional<std::string> reason = Play(frame))
        Skip(frame, *reason);
      else
        Deliver(frame);
      m_progress.Update(frame - m_settings.first + 1);
    }
    m_progress.Finish();
    FinishVideo();
    return m_outcome;
  }

 private:
  static constexpr int kWidth = series::kFrameWidth;
  static constexpr int kHeight = series::kFrameHeight;

  // Plays one frame into the buffer by the player's rules; why it could not
  // be shown, or nothing.
  std::optional<std::string> Play(int frame) {
    FrameResult result{FrameOutcome::Unreadable};
    try {
      for (int tries = 0; tries < kRenderTries; ++tries) {
        result =
            PlayFrame(m_fileName, m_settings.root, frame, m_pixels, kWidth, m_tracks, m_overlays);
        if (result.outcome != FrameOutcome::Unreadable)
          break;
        ++m_outcome.retries;
      }
    } catch (const base::FileException& error) {
      return base::FileFault{base::FileFault::Kind::ReadError, error.Error()}.Describe();
    }
    switch (result.outcome) {
      case FrameOutcome::Shown:
        // The tracker's output goes over what the player painted.
        if (m_hypotheses != nullptr)
          m_hypotheses->Paint(m_pixels, kWidth, frame);
        return std::nullopt;
      case FrameOutcome::Missing:
        // Asked again of the file, for the inputs' words and the kind of a
        // file that is not regular.
        return base::WhyNotOpened(series::FrameFileName(m_settings.root, frame)).Describe();
      case FrameOutcome::NameTooLong:
        return "the name is too long for the player";
      case FrameOutcome::Unreadable:
        break;
    }
    return "short header or bad signature, " + std::to_string(kRenderTries) + " tries";
  }

  // A frame the player could not show: named, the video holds the picture
  // before it, and the next frame starts over black, as a new READ would.
  void Skip(int frame, const std::string& reason) {
    ++m_outcome.skipped;
    ToVideo(m_held);
    std::fill(m_pixels.begin(), m_pixels.end(), std::uint8_t{0});
    Fail(series::FrameFileName(m_settings.root, frame) + ": " + reason + "; not shown");
  }

  void Deliver(int frame) {
    if (!m_settings.outRoot.empty()) {
      // OUTROOT's folder is made with the first frame, so a run that shows
      // no frame leaves none behind.
      if (m_outcome.shown == 0) {
        if (const auto problem = m_folders.MakeForRoot(m_settings.outRoot)) {
          Stop(*problem);
          return;
        }
      }
      const std::string name = series::FrameFileName(m_settings.outRoot, frame);
      if (const auto problem = series::WriteFrameFileAtomically(name, m_pixels, kWidth, kHeight)) {
        // The video stops too: it would lack the frames from here on.
        Stop(*problem);
        return;
      }
    }
    // Counted before the video takes it: a frame file written stays named in
    // the summary even when the video stops here.
    if (m_outcome.firstShown < 0)
      m_outcome.firstShown = frame;
    m_outcome.lastShown = frame;
    ++m_outcome.shown;
    if (!m_settings.video.empty()) {
      m_held = m_pixels;
      ToVideo(m_held);
    }
  }

  void ToVideo(std::span<const std::uint8_t> picture) {
    if (m_settings.video.empty() || m_stopped)
      return;
    if (const auto problem = m_video.WriteFrame(picture))
      Stop(*problem);
  }

  // A file that cannot be written ends the run; a video is then not kept.
  void Stop(const std::string& problem) {
    Fail(problem + "; stopped");
    m_stopped = true;
  }

  void FinishVideo() {
    if (m_settings.video.empty() || m_stopped)
      return;
    if (const auto problem = m_video.Finish()) {
      Fail(*problem);
      return;
    }
    m_outcome.videoDone = true;
    m_outcome.videoFrames = m_video.FramesWritten();
  }

  void Fail(const std::string& problem) {
    m_outcome.failed = true;
    m_problems(problem);
  }

  const RenderSettings& m_settings;
  const CTrackSet& m_tracks;
  // The track set does not change during a run, so its trails are painted
  // once and applied to every frame; the result is the same bytes.
  const TrailLayer m_trails{m_tracks, kWidth, kHeight};
  const OverlaySwitches m_overlays{m_settings.overlays.trails, m_settings.overlays.markers,
                                   &m_trails};
  const HypothesisOverlay* m_hypotheses;
  const RenderProblemSink& m_problems;
  // One frame buffer for the run, cleared as READ clears the player's: a
  // short pixel block shows over the frame before it.
  std::vector<std::uint8_t> m_pixels =
      std::vector<std::uint8_t>(static_cast<std::size_t>(kWidth) * kHeight * 3, 0);
  std::vector<std::uint8_t> m_held;  // the video's last picture
  char m_fileName[kPlayerNameBytes] = {};
  video::VideoWriter m_video;
  base::MadeFolders m_folders;
  base::Progress m_progress;
  RenderOutcome m_outcome;
  bool m_stopped = false;
};

}  // namespace

RenderOutcome RenderSeries(const RenderSettings& settings, const CTrackSet& tracks,
                           const HypothesisOverlay* hypotheses, const RenderProblemSink& problems,
                           std::ostream& progress, std::string_view label) {
  return Render(settings, tracks, hypotheses, problems, progress, label).Run();
}
