#include <gtest/gtest.h>

#include <cstring>

#include "app/Korvane.h"
#include "console/KorvaneDlg.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "ui/headless/HeadlessBackend.h"

using namespace res;
using ui::headless::HeadlessBackend;

TEST(ConsoleFlow, ReadFileSeriesBeforeBrowseHandsTheInitialRootPath) {
  HeadlessBackend user;
  std::string playerRoot, playerStart, playerLast, playerRate, consoleBox;
  user.Click(IDC_READ_SERIES)
      .Then([&] {
        auto* player = user.Top();
        ASSERT_EQ(player->TemplateId(), IDD_FILEREAD);
        playerRoot = player->GetControlText(IDC_ROOT_PATH);
        playerStart = player->GetControlText(IDC_START_FRAME);
        playerLast = player->GetControlText(IDC_LAST_FRAME);
        playerRate = player->GetControlText(IDC_FRAME_RATE);
        consoleBox = user.FindWindow(IDD_KORVANE_DIALOG)->GetControlText(IDC_ROOT_PATH);
      })
      .Key(ui::DialogKey::Escape)
      .Key(ui::DialogKey::Escape);
  theApp.InitInstance();
  EXPECT_EQ(playerRoot, "C:\\Public\\Qen office\\take9\\take9");
  EXPECT_EQ(playerStart, "24");
  EXPECT_EQ(playerLast, "54");
  EXPECT_EQ(playerRate, "10");
  EXPECT_EQ(consoleBox, "");
  EXPECT_FALSE(user.ScriptExhausted());
  EXPECT_TRUE(user.ScriptErrors().empty());
  EXPECT_EQ(user.Top(), nullptr);
}
