// Playback timing on the real Qt backend (offscreen): the player plays 300
// frames at rate 10 and at rate 30, and each tick's moment is taken from the
// trace line it writes. Reported: the mean interval against the requested one
// (target: within 1 ms), the worst deviation of a single interval, and the
// ticks missed (an interval of more than one and a half requested ones).

#include <QTimer>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/TempFolder.h"
#include "base/Trace.h"
#include "image/BmpFile.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "ui/qt/QtBackend.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFrames = 300;

struct Timing {
  double requestedMs = 0;
  double meanMs = 0;
  double worstDeviationMs = 0;
  int missed = 0;
  int ticks = 0;
};

// Plays frames 0..kFrames-1 of root at the rate and times the ticks.
Timing Play(const std::string& root, int rate) {
  std::vector<Clock::time_point> ticks;
  ticks.reserve(kFrames);
  const base::ScopedTraceSink sink([&](std::string_view line) {
    if (line.starts_with("filename: "))
      ticks.push_back(Clock::now());
  });

  g_fileReadDlg.m_rootPath = root;
  g_fileReadDlg.m_startFrame = 0;
  g_fileReadDlg.m_lastFrame = kFrames - 1;
  g_fileReadDlg.m_frameRate = rate;
  QTimer::singleShot(0, [] {
    g_fileReadDlg.SendMessage(ui::WM_COMMAND, ui::MakeWParam(res::IDC_READ, ui::BN_CLICKED));
  });
  QTimer watch;
  watch.setInterval(50);
  QObject::connect(&watch, &QTimer::timeout, [] {
    if (g_fileReadDlg.m_curFrame >= kFrames)
      g_fileReadDlg.EndModal(ui::IDCANCEL);
  });
  watch.start();
  g_fileReadDlg.RunModal();

  Timing timing;
  timing.requestedMs = static_cast<double>(static_cast<int>(1000.0 / rate));
  timing.ticks = static_cast<int>(ticks.size());
  if (ticks.size() < 2)
    return timing;
  double sum = 0;
  for (std::size_t i = 1; i < ticks.size(); ++i) {
    const double ms = std::chrono::duration<double, std::milli>(ticks[i] - ticks[i - 1]).count();
    sum += ms;
    timing.worstDeviationMs = std::max(timing.worstDeviationMs, std::abs(ms - timing.requestedMs));
    if (ms > 1.5 * timing.requestedMs)
      ++timing.missed;
  }
  timing.meanMs = sum / static_cast<double>(ticks.size() - 1);
  return timing;
}

}  // namespace

int main(int argc, char** argv) {
  (void)argc;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  std::array<char*, 2> qtArgv = {argv[0], nullptr};
  ui::qt::QtBackend backend(qtArgc, qtArgv.data());

  // One real frame file and a link to it for every frame number.
  const base::TempFolder folder("korvane-timing", base::TempFolder::Need::Required);
  const std::vector<unsigned char> frame(320 * 240 * 3, 0x55);
  const std::string first = folder.File("take_0000.bmp");
  WriteBmpFile(first.c_str(), frame, 320, 240);
  for (int n = 1; n < kFrames; ++n) {
    char name[32];
    std::snprintf(name, sizeof name, "take_%04d.bmp", n);
    std::filesystem::create_symlink(first, folder.Path() / name);
  }

  int status = 0;
  for (const int rate : {10, 30}) {
    const Timing t = Play(folder.File("take"), rate);
    std::printf(
        "rate %d: %d ticks, mean interval %.3f ms for %.0f ms requested, worst deviation %.3f ms, "
        "%d missed\n",
        rate, t.ticks, t.meanMs, t.requestedMs, t.worstDeviationMs, t.missed);
    std::printf("rate %d mean interval ratio: %.4f (target <= %.4f)\n", rate,
                t.meanMs / t.requestedMs, (t.requestedMs + 1.0) / t.requestedMs);
    std::printf("rate %d missed ticks ratio: %d (target <= 0)\n", rate, t.missed);
    if (t.ticks != kFrames)
      status = 1;
  }
  return status;
}
