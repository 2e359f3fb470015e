#include "tools/RenderSession.h"

#include "console/KorvaneDlg.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "tools/ConsoleSession.h"
#include "tools/PictureSource.h"
#include "ui/headless/HeadlessBackend.h"

using namespace res;
using ui::headless::HeadlessBackend;
using ui::headless::HeadlessWindow;

namespace {

// Each step of the session queues the next one, so the script is written as
// the run goes and always says what happens next.
class RenderDriver {
 public:
  RenderDriver(HeadlessBackend& user, CKorvaneDlg& console, const RenderSettings& settings,
               const std::function<void(int, int)>& shownFrame, RenderOutcome& outcome)
      : m_user(user),
        m_console(console),
        m_settings(settings),
        m_shownFrame(shownFrame),
        m_outcome(outcome),
        m_period(static_cast<int>(1000.0 / settings.rate)),
        m_offset(m_period / 2) {}

  void Start() {
    m_user.Click(IDC_READ_SERIES).Then([this] { QueueRead(m_settings.first); });
  }

 private:
  bool UsesTrackFile() const { return m_settings.trails || m_settings.markers; }

  HeadlessWindow* Player() const { return m_user.FindWindow(IDD_FILEREAD); }

  bool Playing() const {
    HeadlessWindow* player = Player();
    return player != nullptr && m_user.HasTimer(*player, IDT_TIMER_0);
  }

  int PictureUpdates() const {
    HeadlessWindow* player = Player();
    const auto* picture = player ? player->Control(IDC_PICTURE) : nullptr;
    return picture ? picture->surfaceUpdates : 0;
  }

  // Fills in the player's fields and presses READ. "Use TrueTracks" is what
  // loads the track file at READ; for trails alone it is ticked for READ and
  // cleared before the first tick, so no markers are painted.
  void QueueRead(int from) {
    if (!m_fieldsTyped) {
      m_user.Type(IDC_ROOT_PATH, m_settings.root)
          .Type(IDC_FRAME_RATE, std::to_string(m_settings.rate));
      if (m_settings.markers)
        m_user.Click(IDC_USE_TRUETRACKS);
      if (m_settings.trails)
        m_user.Click(IDC_SHOW_TRACK);
      m_fieldsTyped = true;
    }
    m_user.Type(IDC_START_FRAME, std::to_string(from))
        .Type(IDC_LAST_FRAME, std::to_string(m_settings.last));
    const bool loadOnly = UsesTrackFile() && !m_settings.markers;
    if (loadOnly)
      m_user.Click(IDC_USE_TRUETRACKS);
    m_user.Click(IDC_READ);
    if (loadOnly)
      m_user.Click(IDC_USE_TRUETRACKS);
    m_user.Then([this] { AfterRead(); });
  }

  void AfterRead() {
    if (!Playing()) {
      Fail("the player did not start playing");
      return;
    }
    m_user.Wait(m_offset).Then([this] { StartRecordTimer(); });
  }

  // Half a period after READ: the record timer starts, or starts again, so
  // that its ticks fall between the playback ticks.
  void StartRecordTimer() {
    if (!m_armed) {
      m_armed = m_console.ArmRecorder(
          cli::kFrameWidth, cli::kFrameHeight, static_cast<ui::UINT>(m_period),
          MakePictureSource(g_fileReadDlg.m_picture, cli::kFrameWidth, cli::kFrameHeight));
      if (!m_armed) {
        Fail("the recorder could not be armed");
        return;
      }
    } else if (m_console.SetTimer(IDT_RECORD, static_cast<ui::UINT>(m_period)) == 0) {
      Fail("the record timer could not be started again");
      return;
    }
    NextPlaybackTick();
  }

  void NextPlaybackTick() {
    const int frame = g_fileReadDlg.m_curFrame;
    const int updates = PictureUpdates();
    m_user.Wait(m_period - m_offset).Then([this, frame, updates] {
      AfterPlaybackTick(frame, updates);
    });
  }

  void AfterPlaybackTick(int frame, int updatesBefore) {
    if (PictureUpdates() != updatesBefore) {
      m_tries = 0;
      // The recorder names its file after its counter: the frame shown.
      g_recordedFrames = frame;
      m_user.Wait(m_offset).Then([this, frame] { AfterRecordTick(frame); });
      return;
    }
    // Nothing was shown: no record tick may follow until something is.
    m_console.KillTimer(IDT_RECORD);
    if (!Playing()) {
      Skip(frame, "missing");
      return;
    }
    ++m_outcome.retries;
    if (++m_tries >= kRenderTries) {
      m_user.Click(IDC_STOP);
      Skip(frame, "short header or bad signature, " + std::to_string(kRenderTries) + " tries");
      return;
    }
    m_user.Wait(m_offset).Then([this] { StartRecordTimer(); });
  }

  void AfterRecordTick(int frame) {
    if (g_recordedFrames != frame + 1) {
      Fail("no record tick followed frame " + std::to_string(frame));
      return;
    }
    m_outcome.shown.push_back(frame);
    if (m_shownFrame)
      m_shownFrame(static_cast<int>(m_outcome.shown.size()), frame);
    if (Playing())
      NextPlaybackTick();
    else
      ContinueAfter(frame);
  }

  void Skip(int frame, std::string reason) {
    m_tries = 0;
    m_outcome.skipped.push_back({frame, std::move(reason)});
    ContinueAfter(frame);
  }

  void ContinueAfter(int frame) {
    if (frame < m_settings.last)
      QueueRead(frame + 1);
    else
      Finish();
  }

  void Fail(std::string problem) {
    m_outcome.problem = std::move(problem);
    Finish();
  }

  // Closes the player, stops recording and closes the console.
  void Finish() { m_user.Key(ui::DialogKey::Escape).Click(IDC_STOP).Key(ui::DialogKey::Escape); }

  HeadlessBackend& m_user;
  CKorvaneDlg& m_console;
  const RenderSettings& m_settings;
  const std::function<void(int, int)>& m_shownFrame;
  RenderOutcome& m_outcome;
  const int m_period;
  const int m_offset;
  bool m_fieldsTyped = false;
  bool m_armed = false;
  int m_tries = 0;
};

}  // namespace

RenderOutcome RenderSeries(const RenderSettings& settings,
                           const std::function<void(int count, int frame)>& shownFrame) {
  RenderOutcome outcome;
  HeadlessBackend user;
  CKorvaneDlg console;
  RenderDriver driver(user, console, settings, shownFrame, outcome);
  driver.Start();
  cli::RunConsole(console);
  if (!outcome.problem)
    outcome.problem = cli::ScriptProblem(user);
  return outcome;
}
