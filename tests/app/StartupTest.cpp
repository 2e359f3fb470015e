// Start and end of the program: the four global objects, the application's
// start-up running the console as its main window, and the version block.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/Korvane.h"
#include "console/KorvaneDlg.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "res/VersionInfo.h"
#include "tracks/TrackGlobals.h"
#include "ui/core/Application.h"
#include "ui/headless/HeadlessBackend.h"

using namespace res;
using ui::DialogKey;
using ui::headless::HeadlessBackend;

namespace {

// A watcher built before every ordinary static object, so before the four
// globals, and one built in the first test, after them. They write plain
// values, zero-initialised before anything runs; at exit, in a death test's
// child, they report whether the application is there.
constinit bool g_appBeforeFirst = false;
constinit bool g_reportAtExit = false;

// The application registered, the track file's name, 50 empty tracks and the
// player with its defaults.
bool AllFourReady() {
  bool ready = ui::CurrentApp() == &theApp && g_trueTracksPath == "truetracks.txt" &&
               g_trueTracks.m_tracks != nullptr && g_trueTracks.m_count == 0 &&
               g_fileReadDlg.m_frameRate == 10 && g_fileReadDlg.m_width == 320 &&
               g_fileReadDlg.m_height == 240 && g_fileReadDlg.m_frame == nullptr &&
               !g_fileReadDlg.HasWindow();
  for (int i = 0; ready && i < MAX_TRACKS; ++i) {
    const CTrack& track = g_trueTracks.m_tracks[i];
    ready = track.m_x != nullptr && track.m_y != nullptr && track.m_enabled == 1 &&
            track.m_firstFrame == 0 && track.m_endFrame == 0;
  }
  return ready;
}

template <bool kAfterLast>
struct Watch {
  Watch() {
    // The globals may not be read before their construction.
    if (!kAfterLast)
      g_appBeforeFirst = ui::CurrentApp() != nullptr;
  }
  ~Watch() {
    if (g_reportAtExit)
      std::fprintf(stderr, "%s out: application %s\n", kAfterLast ? "first" : "last",
                   ui::CurrentApp() ? "alive" : "gone");
  }
};
// Priorities up to 100 belong to the language runtime; 101 comes before
// every object without one.
__attribute__((init_priority(101))) Watch<false> g_watchBefore;

// Built after all of static initialisation, and so destroyed before it.
void WatchAfterTheGlobals() {
  static Watch<true> watch;
}

// No application exists before the globals are built; all four are ready,
// with their start-up values, when the program's own code first runs.
TEST(GlobalObjects, AllFourAreReadyBeforeTheProgramRunsAndNoneBefore) {
  WatchAfterTheGlobals();
  EXPECT_FALSE(g_appBeforeFirst);
  EXPECT_TRUE(AllFourReady());
}

// At exit the globals go in the reverse order of their construction: the
// application object is still there when the watcher built after it goes, and
// gone when the watcher built before it goes. Both through the end of
// start-up (the runtime's exit after main) and through Quit.
TEST(GlobalObjectsDeathTest, TheApplicationIsDestroyedAtExitInReverseOrder) {
  const char* const expected = "first out: application alive.*last out: application gone";
  EXPECT_EXIT(
      {
        WatchAfterTheGlobals();
        g_reportAtExit = true;
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), expected);
  EXPECT_EXIT(
      {
        HeadlessBackend user;
        WatchAfterTheGlobals();
        g_reportAtExit = true;
        user.Click(IDC_QUIT);
        theApp.InitInstance();
        std::_Exit(8);
      },
      ::testing::ExitedWithCode(0), expected);
}

// The console runs as the main window, owned by nobody; when Escape ends it,
// nothing designates it any more and no window is left.
TEST(Startup, RunApplicationRunsTheConsoleAsMainWindowAndReturnsZero) {
  HeadlessBackend user;
  ASSERT_EQ(ui::CurrentApp(), &theApp);
  std::string seen;
  user.Then([&] {
        const auto& console = *user.Top();
        seen = std::string(console.Dialog().Template().caption) +
               (console.TemplateId() == IDD_KORVANE_DIALOG ? " console" : " other") +
               (theApp.m_mainWindow == &console.Dialog() ? " main" : "") +
               (console.Owner() == nullptr ? " unowned" : "");
      })
      .Key(DialogKey::Escape);

  EXPECT_EQ(ui::RunApplication(), 0);
  EXPECT_EQ(seen, "Korvane console main unowned");
  EXPECT_EQ(theApp.m_mainWindow, nullptr);
  EXPECT_EQ(user.Top(), nullptr);
  EXPECT_FALSE(user.ScriptExhausted());
  EXPECT_TRUE(user.ScriptErrors().empty());
}

TEST(VersionBlock, HoldsTheProgramsVersionAndNames) {
  constexpr VersionInfo v = kVersionInfo;
  EXPECT_EQ(v.fileVersion, (std::array<int, 4>{1, 0, 0, 1}));
  EXPECT_EQ(v.productVersion, v.fileVersion);
  EXPECT_EQ(std::make_pair(v.language, v.codePage), std::make_pair(0x0409, 1200));
  const std::array<std::string_view, 8> texts = {
      v.fileDescription, v.fileVersionText,    v.internalName, v.originalFilename,
      v.productName,     v.productVersionText, v.companyName,  v.legalTrademarks};
  EXPECT_EQ(texts, (std::array<std::string_view, 8>{"Korvane MFC Application", "1, 0, 0, 1",
                                                    "Korvane", "Korvane.EXE", "Korvane Application",
                                                    "1, 0, 0, 1", "", ""}));
}

}  // namespace
