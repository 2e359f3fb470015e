// Feeds arbitrary bytes to one tick of the player's playback as the frame file
// it reads, one tick per input in a player shown once. The player is the real one, g_fileReadDlg,
// shown on the in-memory backend with both overlay boxes ticked and a fixed set of tracks loaded,
// so one tick runs the whole path: name, open, headers, pixels, trails, markers and the copy into
// the picture control. Besides the sanitizers' checks it traps when the tick leaves the player in a
// state the playback cannot have.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "base/Trace.h"
#include "fuzz/FuzzSupport.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "tracks/TrackGlobals.h"
#include "ui/core/Surface.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

constexpr int START_FRAME = 24;
constexpr int ROW_BYTES = 320 * 3;
constexpr std::size_t kFrameBytes = 320 * 240 * 3;

// Targets whose trails and markers cross every edge of the picture at the
// frames played here: a header, then one "x y" row per target per frame.
constexpr std::string_view TRACK_FILE =
    "3 20\n"
    "1 1  318 238  -4 120\n"
    "5 5  319 239  -2 121\n"
    "9 9  325 250  1 122\n"
    "13 13  330 5  3 123\n"
    "17 17  160 0  5 124\n"
    "21 21  160 9  7 125\n"
    "25 25  0 0  1000 126\n";

using fuzz::Check;

// This process's frame file and track file, in its scratch folder; the track
// file is loaded into the player's track set once.
class Series {
 public:
  Series() {
    fuzz::ScratchFile tracks("truetracks.txt");
    tracks.Write(TRACK_FILE.data(), TRACK_FILE.size());
    Check(g_trueTracks.LoadTrueTracksFrom(tracks.Path().c_str()));
  }

  const std::string& RootPath() const { return m_rootPath; }
  const std::string& FramePath() const { return m_frame.Path(); }
  void WriteFrame(const std::uint8_t* data, std::size_t size) { m_frame.Write(data, size); }

 private:
  std::string m_rootPath = fuzz::ScratchFolder().File("take9");
  fuzz::ScratchFile m_frame{"take9_0024.bmp"};
};

// What READ leaves behind, without READ's own loading of the track file from
// the current folder: the fields, both boxes ticked, a fresh cleared buffer.
void PrepareAsRead(CFileRead& player, const Series& series) {
  player.CheckDlgButton(res::IDC_SHOW_TRACK, ui::BST_CHECKED);
  player.CheckDlgButton(res::IDC_USE_TRUETRACKS, ui::BST_CHECKED);
  player.m_rootPath = series.RootPath();
  player.m_startFrame = START_FRAME;
  player.m_lastFrame = START_FRAME;
  player.m_curFrame = START_FRAME;
  player.m_frameBytes = player.m_width * player.m_height * 3;
  Check(static_cast<std::size_t>(player.m_frameBytes) == kFrameBytes);
  // The buffer of the previous input (made here, as a tick makes none) is
  // cleared rather than made anew: the same zeros as a fresh one, without a
  // 230 KB allocation per input.
  if (!player.m_frame)
    player.m_frame = std::make_unique<unsigned char[]>(kFrameBytes);
  else
    std::memset(player.m_frame.get(), 0, kFrameBytes);
}

// After a tick that showed its frame, the picture holds the buffer 1:1 with
// the buffer's last row at the top.
void CheckShown(const CFileRead& player) {
  const ui::Surface* surface = player.m_picture.GetSurface();
  Check(surface != nullptr);
  const unsigned char* bottomRow = player.m_frame.get();
  const unsigned char* topRow = bottomRow + static_cast<std::size_t>(239) * ROW_BYTES;
  for (const auto& [y, row] : {std::pair{0, topRow}, std::pair{239, bottomRow}}) {
    const std::uint8_t* rgb = surface->Pixel(0, y);
    Check(rgb != nullptr);
    Check(rgb[0] == row[2] && rgb[1] == row[1] && rgb[2] == row[0]);
  }
}

void Tick(CFileRead& player, const Series& series) {
  PrepareAsRead(player, series);

  // A tick of another timer is not the playback's and changes nothing.
  player.OnPlayTimer(res::IDT_TIMER_0 + 1);
  Check(player.m_curFrame == START_FRAME);

  player.OnPlayTimer(res::IDT_TIMER_0);
  Check(std::string_view(player.m_fileName) == series.FramePath());
  Check(static_cast<std::size_t>(player.m_frameBytes) == kFrameBytes);
  const bool advanced = player.m_curFrame == START_FRAME + 1;
  Check(advanced || player.m_curFrame == START_FRAME);
  if (advanced) {
    CheckShown(player);
  }

  // The next tick finds no file after an advance (the playback ends), or
  // meets the same bytes again.
  player.OnPlayTimer(res::IDT_TIMER_0);
  Check(player.m_curFrame == (advanced ? START_FRAME + 1 : START_FRAME));
}

// This process's series: its track file loaded once, its frame file
// rewritten for each input.
Series& TheSeries() {
  static Series series;
  return series;
}

// One input: the frame file rewritten, then a tick of the player open below.
int TickOnInput(const std::uint8_t* data, std::size_t size) {
  Series& series = TheSeries();
  series.WriteFrame(data, size);
  Check(g_fileReadDlg.HasWindow());
  Tick(g_fileReadDlg, series);
  return 0;
}

}  // namespace

// libFuzzer's entry for a program with a main() of its own.
extern "C" int LLVMFuzzerRunDriver(int* argc, char*** argv,
                                   int (*callback)(const std::uint8_t* data, std::size_t size));

// The player is shown once and the fuzzer runs inside its modal loop, as the
// one step of the script: each input is a tick of the open player. Its window
// and picture surface are made once rather than per input, where their
// allocation would cost more than the tick. The fuzzer ends the process
// itself when it is done.
int main(int argc, char** argv) {
  // Every tick traces the file name; that would flood the fuzzer's output.
  const base::ScopedTraceSink quiet([](std::string_view) {});
  TheSeries();
  ui::headless::HeadlessBackend user;
  int status = 1;
  user.Then([&] { status = LLVMFuzzerRunDriver(&argc, &argv, &TickOnInput); })
      .Key(ui::DialogKey::Escape);
  g_fileReadDlg.RunModal();
  return status;
}
