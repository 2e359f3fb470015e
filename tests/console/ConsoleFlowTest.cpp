// The console as the user drives it: opening the player with its presets, the
// output-only root path box, Record, and the ways the console's run ends.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/Korvane.h"
#include "console/KorvaneDlg.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "support/TempDir.h"
#include "ui/headless/HeadlessBackend.h"

using namespace res;
using ui::DialogKey;
using ui::headless::HeadlessBackend;
using ui::headless::HeadlessWindow;

namespace {

constexpr const char* kInitialRoot = "C:\\Public\\Qen office\\take9\\take9";

// Puts back what earlier tests may have changed in the program's globals, and
// runs each test in a folder of its own so that nothing it might read or
// write touches the source tree.
class ConsoleFlow : public ::testing::Test {
 protected:
  void SetUp() override {
    std::snprintf(g_rootPath, sizeof g_rootPath, "%s", kInitialRoot);
    g_recordedFrames = 0;
    g_stopRecording = 0;
    g_fileReadDlg.m_frameRate = 10;
    g_fileReadDlg.m_rootPath.clear();
    g_fileReadDlg.m_startFrame = 0;
    g_fileReadDlg.m_lastFrame = 0;
    m_previousDir = std::filesystem::current_path();
    std::filesystem::current_path(m_dir.Path());
  }
  void TearDown() override { std::filesystem::current_path(m_previousDir); }

  // Runs the console as start-up does and checks that the script ended it.
  void RunConsole() {
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_FALSE(user.ScriptExhausted());
    EXPECT_TRUE(user.ScriptErrors().empty());
    EXPECT_EQ(user.Top(), nullptr);
    EXPECT_EQ(theApp.m_mainWindow, nullptr);
  }

  HeadlessWindow* Console() const { return user.FindWindow(IDD_KORVANE_DIALOG); }

  HeadlessBackend user;
  TempDir m_dir;
  std::filesystem::path m_previousDir;
};

TEST_F(ConsoleFlow, ReadFileSeriesBeforeBrowseHandsTheInitialRootPath) {
  std::string playerRoot, playerStart, playerLast, playerRate, consoleBox;
  int useTracks = -1, showTrack = -1, ownerTemplate = 0;
  user.Click(IDC_READ_SERIES)
      .Then([&] {
        HeadlessWindow* player = user.Top();
        ASSERT_EQ(player->TemplateId(), IDD_FILEREAD);
        playerRoot = player->GetControlText(IDC_ROOT_PATH);
        playerStart = player->GetControlText(IDC_START_FRAME);
        playerLast = player->GetControlText(IDC_LAST_FRAME);
        playerRate = player->GetControlText(IDC_FRAME_RATE);
        useTracks = player->GetCheck(IDC_USE_TRUETRACKS);
        showTrack = player->GetCheck(IDC_SHOW_TRACK);
        ownerTemplate = player->Owner() ? player->Owner()->TemplateId() : 0;
        consoleBox = Console()->GetControlText(IDC_ROOT_PATH);
      })
      .Key(DialogKey::Escape)
      .Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(playerRoot, kInitialRoot);
  EXPECT_EQ(playerStart, "24");
  EXPECT_EQ(playerLast, "54");
  EXPECT_EQ(playerRate, "10");
  EXPECT_EQ(useTracks, 0);
  EXPECT_EQ(showTrack, 0);
  EXPECT_EQ(consoleBox, "");
  // The player has no parent of its own: the running console owns it.
  EXPECT_EQ(ownerTemplate, IDD_KORVANE_DIALOG);
  EXPECT_EQ(g_fileReadDlg.m_rootPath, kInitialRoot);
  EXPECT_EQ(g_fileReadDlg.m_startFrame, 24);
  EXPECT_EQ(g_fileReadDlg.m_lastFrame, 54);
  EXPECT_TRUE(user.MessageBoxes().empty());
}

TEST_F(ConsoleFlow, TextTypedIntoTheConsoleBoxIsIgnored) {
  std::string playerRoot;
  user.Type(IDC_ROOT_PATH, "Z:\\typed\\by\\hand")
      .Click(IDC_READ_SERIES)
      .Then([&] { playerRoot = user.Top()->GetControlText(IDC_ROOT_PATH); })
      .Key(DialogKey::Escape)
      .Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(playerRoot, kInitialRoot);
  EXPECT_STREQ(g_rootPath, kInitialRoot);
}

TEST_F(ConsoleFlow, RecordDoesNothing) {
  user.Click(IDC_RECORD)
      .Wait(5000)
      .Then([&] {
        HeadlessWindow* console = user.Top();
        ASSERT_NE(console, nullptr);
        EXPECT_EQ(console->TemplateId(), IDD_KORVANE_DIALOG);
        EXPECT_FALSE(user.HasTimer(*console, IDT_RECORD));
        EXPECT_EQ(console->GetControlText(IDC_ROOT_PATH), "");
      })
      .Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(g_recordedFrames, 0);
  EXPECT_EQ(g_stopRecording, 0);
  EXPECT_STREQ(g_rootPath, kInitialRoot);
  EXPECT_TRUE(user.MessageBoxes().empty());
  EXPECT_EQ(user.OpenFileDialogs(), 0);
  EXPECT_TRUE(std::filesystem::is_empty(m_dir.Path()));
}

TEST_F(ConsoleFlow, TheHelpCommandLeavesTheConsoleRunning) {
  int topAfterHelp = 0;
  user.Then([&] {
        user.Top()->Dialog().SendMessage(ui::WM_COMMAND,
                                         ui::MakeWParam(ui::IDHELP_COMMAND, ui::BN_CLICKED));
      })
      .Then([&] { topAfterHelp = user.Top()->TemplateId(); })
      .Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(topAfterHelp, IDD_KORVANE_DIALOG);
  EXPECT_TRUE(user.MessageBoxes().empty());
}

// Escape, the close box and the system menu's Close each end the run: had one
// of them not, the script would have run out with the console still open.
TEST_F(ConsoleFlow, EscapeAndTheCloseBoxEndTheConsoleRun) {
  const std::vector<std::function<void(HeadlessBackend&)>> closers = {
      [](HeadlessBackend& u) { u.Key(DialogKey::Escape); },
      [](HeadlessBackend& u) { u.CloseBox(); },
      [](HeadlessBackend& u) { u.ChooseSystemMenu(ui::SC_CLOSE); },
  };
  for (std::size_t i = 0; i < closers.size(); ++i) {
    SCOPED_TRACE("closer " + std::to_string(i));
    bool mainWindowWasConsole = false;
    user.Then([&] { mainWindowWasConsole = theApp.m_mainWindow == &user.Top()->Dialog(); });
    closers[i](user);
    RunConsole();
    EXPECT_TRUE(mainWindowWasConsole);
    EXPECT_EQ(user.StepsLeft(), 0u);
  }
}

TEST_F(ConsoleFlow, EnterPressesTheFocusedButtonElseGivesOk) {
  int focusAtStart = 0;
  int topAfterEnterOnRecord = 0;
  // The first tab stop, Record, has the focus when the console opens: Enter
  // presses it, which does nothing. With the focus in the root path box no
  // push button is focused and there is no default button, so Enter is OK.
  user.Then([&] { focusAtStart = user.Top()->FocusId(); })
      .Key(DialogKey::Enter)
      .Then([&] { topAfterEnterOnRecord = user.Top()->TemplateId(); })
      .Type(IDC_ROOT_PATH, "anything")
      .Key(DialogKey::Enter);
  CKorvaneDlg console;
  EXPECT_EQ(console.RunModal(), ui::IDOK);

  EXPECT_EQ(focusAtStart, IDC_RECORD);
  EXPECT_EQ(topAfterEnterOnRecord, IDD_KORVANE_DIALOG);
  EXPECT_FALSE(user.ScriptExhausted());
  EXPECT_TRUE(user.ScriptErrors().empty());
  EXPECT_EQ(user.Top(), nullptr);
  EXPECT_STREQ(g_rootPath, kInitialRoot);

  user.Key(DialogKey::Escape);
  CKorvaneDlg again;
  EXPECT_EQ(again.RunModal(), ui::IDCANCEL);
}

// Enter with the focus on Read file series opens the player, as a click does.
TEST_F(ConsoleFlow, EnterOnAFocusedButtonPressesIt) {
  int top = 0;
  user.Tab()
      .Tab()
      .Tab()
      .Tab()
      .Then([&] { EXPECT_EQ(user.Top()->FocusId(), IDC_READ_SERIES); })
      .Key(DialogKey::Enter)
      .Then([&] { top = user.Top()->TemplateId(); })
      .Key(DialogKey::Escape)
      .Key(DialogKey::Escape);
  RunConsole();
  EXPECT_EQ(top, IDD_FILEREAD);
}

using ConsoleFlowDeathTest = ConsoleFlow;

// Quit ends the process on the spot with status 0, through the runtime's exit
// processing (exit handlers run); a step after it would end with status 7.
TEST_F(ConsoleFlowDeathTest, QuitExitsWithStatusZero) {
  EXPECT_EXIT(
      {
        std::atexit([] { std::fputs("exit processing ran\n", stderr); });
        user.Click(IDC_QUIT).Then([] { std::_Exit(7); });
        theApp.InitInstance();
        std::_Exit(8);
      },
      ::testing::ExitedWithCode(0), "exit processing ran");
}

}  // namespace
