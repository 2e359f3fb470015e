#pragma once
// Shared set-up of the console tests: the program's globals put back as they
// are at start-up, a folder of the test's own as the current folder (the
// player and the recorder read and write relative names), a scripted user,
// and a run of the console as start-up does it.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "app/Korvane.h"
#include "console/KorvaneDlg.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "support/TempDir.h"
#include "ui/headless/HeadlessBackend.h"

using ::testing::HasSubstr;

inline constexpr char kInitialRoot[] = "C:\\Public\\Qen office\\take9\\take9";

class ConsoleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Every byte of the root path is known, so a test can see any byte written.
    std::memset(g_rootPath, 0, sizeof g_rootPath);
    std::snprintf(g_rootPath, sizeof g_rootPath, "%s", kInitialRoot);
    g_recordedFrames = 0;
    g_stopRecording = 0;
    g_fileReadDlg.m_frameRate = 10;
    g_fileReadDlg.m_rootPath.clear();
    g_fileReadDlg.m_startFrame = 0;
    g_fileReadDlg.m_lastFrame = 0;
    std::filesystem::current_path(m_dir.Path());
  }
  void TearDown() override {
    std::filesystem::current_path(m_previousDir);
    EXPECT_FALSE(user.ScriptExhausted());
    EXPECT_TRUE(user.ScriptErrors().empty());
  }

  // Runs the console as start-up does; the script must have closed it.
  void RunConsole() {
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_EQ(user.Top(), nullptr);
    EXPECT_EQ(theApp.m_mainWindow, nullptr);
  }

  // The text of a box of the window of the given template.
  std::string Box(int templateId, int controlId) const {
    return user.FindWindow(templateId)->GetControlText(controlId);
  }

  TempDir m_dir;
  std::filesystem::path m_previousDir = std::filesystem::current_path();
  ui::headless::HeadlessBackend user;
};
