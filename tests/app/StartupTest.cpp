// Start and end of the program: the four global objects, the application's
// start-up running the console as its main window, and the version block.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/GlobalOrder.h"
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

// What could be seen of the four globals at two points of static
// initialisation: just before the first of them and just after the last of
// them (and so before every ordinary static object and main). Plain values,
// zero-initialised before anything runs, so the watchers may write them.
struct GlobalsSeen {
  bool appRegistered = false;  // CurrentApp() is theApp
  bool pathReady = false;      // g_trueTracksPath holds the track file's name
  bool tracksReady = false;    // g_trueTracks has its 50 empty tracks
  bool playerReady = false;    // g_fileReadDlg has its defaults
};
constinit GlobalsSeen g_seenBefore{};
constinit GlobalsSeen g_seenAfter{};
// Set by a death test's child process so that the watchers report, on
// standard error, what they see when the process exits.
constinit bool g_reportAtExit = false;

GlobalsSeen LookAtGlobals(bool allConstructed) {
  GlobalsSeen seen;
  seen.appRegistered = ui::CurrentApp() == &theApp;
  if (!allConstructed)
    return seen;  // the others may not be read before their construction
  seen.pathReady = g_trueTracksPath == "truetracks.txt";
  bool tracks = g_trueTracks.m_tracks != nullptr && g_trueTracks.m_count == 0;
  for (int i = 0; tracks && i < MAX_TRACKS; ++i) {
    const CTrack& track = g_trueTracks.m_tracks[i];
    tracks = track.m_x != nullptr && track.m_y != nullptr && track.m_enabled == 1 &&
             track.m_firstFrame == 0 && track.m_endFrame == 0;
  }
  seen.tracksReady = tracks;
  seen.playerReady = g_fileReadDlg.m_frameRate == 10 && g_fileReadDlg.m_width == 320 &&
                     g_fileReadDlg.m_height == 240 && g_fileReadDlg.m_frame == nullptr &&
                     !g_fileReadDlg.HasWindow();
  return seen;
}

// Constructed just before the first of the four globals, and so destroyed
// after the last of them at exit.
struct WatchBefore {
  WatchBefore() { g_seenBefore = LookAtGlobals(false); }
  ~WatchBefore() {
    if (g_reportAtExit)
      std::fprintf(stderr, "last out: application %s\n", ui::CurrentApp() ? "alive" : "gone");
  }
};
// Constructed just after the last of the four, and so destroyed before them.
struct WatchAfter {
  WatchAfter() { g_seenAfter = LookAtGlobals(true); }
  ~WatchAfter() {
    if (g_reportAtExit)
      std::fprintf(stderr, "first out: application %s\n", ui::CurrentApp() ? "alive" : "gone");
  }
};

__attribute__((init_priority(order::kTrueTracksPath - 1))) WatchBefore g_watchBefore;
__attribute__((init_priority(order::kTrueTracks + 1))) WatchAfter g_watchAfter;

TEST(GlobalObjects, PrioritiesFollowTheConstructionOrder) {
  // Below 101 the priorities belong to the language runtime.
  EXPECT_GT(order::kTrueTracksPath, 100);
  EXPECT_LT(order::kTrueTracksPath, order::kApp);
  EXPECT_LT(order::kApp, order::kFileReadDlg);
  EXPECT_LT(order::kFileReadDlg, order::kTrueTracks);
}

TEST(GlobalObjects, AllFourAreBuiltBeforeAnyOrdinaryStaticObject) {
  EXPECT_FALSE(g_seenBefore.appRegistered);
  EXPECT_TRUE(g_seenAfter.appRegistered);
  EXPECT_TRUE(g_seenAfter.pathReady);
  EXPECT_TRUE(g_seenAfter.tracksReady);
  EXPECT_TRUE(g_seenAfter.playerReady);
}

// At exit the globals go in the reverse order of their construction: the
// application object is still there when the watcher built after it goes, and
// gone when the watcher built before it goes. Both through the end of
// start-up (the runtime's exit after main) and through Quit.
TEST(GlobalObjectsDeathTest, TheApplicationIsDestroyedAtExitInReverseOrder) {
  const char* const expected = "first out: application alive.*last out: application gone";
  EXPECT_EXIT(
      {
        g_reportAtExit = true;
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), expected);
  EXPECT_EXIT(
      {
        HeadlessBackend user;
        g_reportAtExit = true;
        user.Click(IDC_QUIT);
        theApp.InitInstance();
        std::_Exit(8);
      },
      ::testing::ExitedWithCode(0), expected);
}

TEST(Startup, RunApplicationRunsTheConsoleAsMainWindowAndReturnsZero) {
  HeadlessBackend user;
  ASSERT_EQ(ui::CurrentApp(), &theApp);
  int topTemplate = 0;
  std::string caption;
  bool mainWindowIsConsole = false;
  bool ownedByNobody = false;
  user.Then([&] {
        topTemplate = user.Top()->TemplateId();
        caption = std::string(user.Top()->Dialog().Template().caption);
        mainWindowIsConsole = theApp.m_mainWindow == &user.Top()->Dialog();
        ownedByNobody = user.Top()->Owner() == nullptr;
      })
      .Key(DialogKey::Escape);

  EXPECT_EQ(ui::RunApplication(), 0);

  EXPECT_EQ(topTemplate, IDD_KORVANE_DIALOG);
  EXPECT_EQ(caption, "Korvane");
  EXPECT_TRUE(mainWindowIsConsole);
  EXPECT_TRUE(ownedByNobody);
  // The console is gone: nothing designates it any more, no window is left.
  EXPECT_EQ(theApp.m_mainWindow, nullptr);
  EXPECT_EQ(user.Top(), nullptr);
  EXPECT_FALSE(user.ScriptExhausted());
  EXPECT_TRUE(user.ScriptErrors().empty());
}

TEST(VersionBlock, HoldsTheProgramsVersionAndNames) {
  constexpr VersionInfo v = kVersionInfo;
  EXPECT_EQ(v.fileVersion, (std::array<int, 4>{1, 0, 0, 1}));
  EXPECT_EQ(v.productVersion, (std::array<int, 4>{1, 0, 0, 1}));
  EXPECT_EQ(v.language, 0x0409);
  EXPECT_EQ(v.codePage, 1200);
  EXPECT_EQ(v.fileDescription, "Korvane MFC Application");
  EXPECT_EQ(v.fileVersionText, "1, 0, 0, 1");
  EXPECT_EQ(v.internalName, "Korvane");
  EXPECT_EQ(v.originalFilename, "Korvane.EXE");
  EXPECT_EQ(v.productName, "Korvane Application");
  EXPECT_EQ(v.productVersionText, "1, 0, 0, 1");
  EXPECT_TRUE(v.companyName.empty());
  EXPECT_TRUE(v.legalTrademarks.empty());
}

}  // namespace
