// The console as the user drives it: the output-only root path box, Record
// and Help, the keyboard, and the ways the console's run and the program end.

#include <cstdlib>
#include <vector>

#include "ConsoleTestSupport.h"

using namespace res;
using ui::DialogKey;

namespace {

using ConsoleFlow = ConsoleTest;

// Text typed into the console's box, Record and the Help command change
// nothing: no timer, no file, no message, and the player still receives the
// root path itself.
TEST_F(ConsoleFlow, TypedTextRecordAndHelpChangeNothing) {
  std::string playerRoot;
  bool recordTimer = true;
  user.Type(IDC_ROOT_PATH, "Z:\\typed\\by\\hand")
      .Click(IDC_RECORD)
      .Then([&] {
        user.Top()->Dialog().SendMessage(ui::WM_COMMAND,
                                         ui::MakeWParam(ui::IDHELP_COMMAND, ui::BN_CLICKED));
      })
      .Wait(5000)
      .Then([&] { recordTimer = user.HasTimer(*user.Top(), IDT_RECORD); })
      .Click(IDC_READ_SERIES)
      .Then([&] { playerRoot = user.Top()->GetControlText(IDC_ROOT_PATH); })
      .Key(DialogKey::Escape)
      .Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(playerRoot, kInitialRoot);
  EXPECT_STREQ(g_rootPath, kInitialRoot);
  EXPECT_FALSE(recordTimer);
  EXPECT_EQ(g_recordedFrames, 0);
  EXPECT_EQ(g_stopRecording, 0);
  EXPECT_TRUE(user.MessageBoxes().empty());
  EXPECT_EQ(user.OpenFileDialogs(), 0);
  EXPECT_TRUE(std::filesystem::is_empty(m_dir.Path()));
}

// Record, the first tab stop, has the focus at the start: Enter presses it,
// which does nothing. Enter on a focused Read file series opens the player.
// With the focus in the root path box no push button is focused and there is
// no default button, so Enter gives OK and ends the run.
TEST_F(ConsoleFlow, EnterPressesTheFocusedButtonElseGivesOk) {
  std::vector<int> seen;
  const auto look = [&] {
    seen.insert(seen.end(), {user.Top()->TemplateId(), user.Top()->FocusId()});
  };
  user.Then(look)
      .Key(DialogKey::Enter)
      .Then(look)
      .Tab()
      .Tab()
      .Tab()
      .Tab()
      .Key(DialogKey::Enter)
      .Then(look)
      .Key(DialogKey::Escape)
      .Type(IDC_ROOT_PATH, "anything")
      .Key(DialogKey::Enter);
  CKorvaneDlg console;
  EXPECT_EQ(console.RunModal(), ui::IDOK);

  EXPECT_EQ(seen, (std::vector<int>{IDD_KORVANE_DIALOG, IDC_RECORD, IDD_KORVANE_DIALOG, IDC_RECORD,
                                    IDD_FILEREAD, IDC_READ}));
  EXPECT_EQ(user.Top(), nullptr);
  EXPECT_STREQ(g_rootPath, kInitialRoot);
}

using ConsoleFlowDeathTest = ConsoleTest;

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
