// Browse: the chosen full path becomes the root path shown in the console and
// handed to the player; a cancelled dialog or a path that does not fit the
// root path buffer changes nothing.

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "app/Korvane.h"
#include "console/KorvaneDlg.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "ui/headless/HeadlessBackend.h"

using namespace res;
using ui::DialogKey;
using ui::headless::HeadlessBackend;

namespace {

constexpr const char* kInitialRoot = "C:\\Public\\Qen office\\take9\\take9";
constexpr std::size_t kLongestRoot = sizeof g_rootPath - 1;  // 251 characters

// A path of exactly `length` characters under D:\seq\.
std::string PathOfLength(std::size_t length) {
  std::string path = "D:\\seq\\";
  path.resize(length, 'r');
  return path;
}

class Browse : public ::testing::Test {
 protected:
  void SetUp() override {
    // Every byte of the buffer is known, so a test can see any byte written.
    std::memset(g_rootPath, 0, sizeof g_rootPath);
    std::snprintf(g_rootPath, sizeof g_rootPath, "%s", kInitialRoot);
    g_fileReadDlg.m_frameRate = 10;
    g_fileReadDlg.m_rootPath.clear();
  }

  void RunConsole() {
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_FALSE(user.ScriptExhausted());
    EXPECT_TRUE(user.ScriptErrors().empty());
    EXPECT_EQ(user.Top(), nullptr);
  }

  // Snapshot of the whole root path buffer, terminator and tail included.
  static std::array<char, sizeof g_rootPath> RootBytes() {
    std::array<char, sizeof g_rootPath> bytes{};
    std::memcpy(bytes.data(), g_rootPath, sizeof g_rootPath);
    return bytes;
  }

  std::string ConsoleBox() const {
    return user.FindWindow(IDD_KORVANE_DIALOG)->GetControlText(IDC_ROOT_PATH);
  }

  HeadlessBackend user;
};

TEST_F(Browse, OkStoresThePathAndHandsItToThePlayer) {
  std::string box, playerRoot;
  user.AnswerFileDialog("D:\\seq\\run1.bmp")
      .Click(IDC_BROWSE)
      .Then([&] { box = ConsoleBox(); })
      .Click(IDC_READ_SERIES)
      .Then([&] { playerRoot = user.Top()->GetControlText(IDC_ROOT_PATH); })
      .Key(DialogKey::Escape)
      .Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(user.OpenFileDialogs(), 1);
  EXPECT_STREQ(g_rootPath, "D:\\seq\\run1.bmp");
  // The path is stored as chosen: the extension stays.
  EXPECT_EQ(box, "D:\\seq\\run1.bmp");
  EXPECT_EQ(playerRoot, "D:\\seq\\run1.bmp");
  EXPECT_EQ(g_fileReadDlg.m_rootPath, "D:\\seq\\run1.bmp");
  EXPECT_TRUE(user.MessageBoxes().empty());
}

TEST_F(Browse, CancelChangesNothing) {
  std::string boxBefore = "unset", boxAfterFirstCancel = "unset", boxAfterSecondCancel = "unset";
  std::string rootAfterFirstCancel, playerRoot;
  user.AnswerFileDialog(std::nullopt)
      .AnswerFileDialog("D:\\seq\\run1.bmp")
      .AnswerFileDialog(std::nullopt)
      .Click(IDC_BROWSE)
      .Then([&] {
        boxAfterFirstCancel = ConsoleBox();
        rootAfterFirstCancel = g_rootPath;
      })
      .Click(IDC_BROWSE)
      .Then([&] { boxBefore = ConsoleBox(); })
      .Click(IDC_BROWSE)
      .Then([&] { boxAfterSecondCancel = ConsoleBox(); })
      .Click(IDC_READ_SERIES)
      .Then([&] { playerRoot = user.Top()->GetControlText(IDC_ROOT_PATH); })
      .Key(DialogKey::Escape)
      .Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(user.OpenFileDialogs(), 3);
  EXPECT_EQ(boxAfterFirstCancel, "");
  EXPECT_EQ(rootAfterFirstCancel, kInitialRoot);
  EXPECT_EQ(boxBefore, "D:\\seq\\run1.bmp");
  EXPECT_EQ(boxAfterSecondCancel, "D:\\seq\\run1.bmp");
  EXPECT_STREQ(g_rootPath, "D:\\seq\\run1.bmp");
  EXPECT_EQ(playerRoot, "D:\\seq\\run1.bmp");
  EXPECT_TRUE(user.MessageBoxes().empty());
}

TEST_F(Browse, APathOf251CharactersIsTaken) {
  const std::string path = PathOfLength(kLongestRoot);
  ASSERT_EQ(path.size(), 251u);
  std::string box, playerRoot;
  user.AnswerFileDialog(path)
      .Click(IDC_BROWSE)
      .Then([&] { box = ConsoleBox(); })
      .Click(IDC_READ_SERIES)
      .Then([&] { playerRoot = user.Top()->GetControlText(IDC_ROOT_PATH); })
      .Key(DialogKey::Escape)
      .Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(std::string(g_rootPath, kLongestRoot), path);
  EXPECT_EQ(g_rootPath[kLongestRoot], '\0');
  EXPECT_EQ(box, path);
  EXPECT_EQ(playerRoot, path);
  EXPECT_TRUE(user.MessageBoxes().empty());
}

// One character more than the buffer holds, and far more: each is refused as
// a whole with a message, and not one byte of the buffer changes. A refusal
// after an accepted path keeps that path.
TEST_F(Browse, LongerPathsAreRefusedWithAMessage) {
  const std::array<std::size_t, 3> lengths = {kLongestRoot + 1, kLongestRoot + 2, 1000};
  for (const std::size_t length : lengths)
    user.AnswerFileDialog(PathOfLength(length));
  user.AnswerFileDialog("D:\\seq\\run1.bmp").AnswerFileDialog(PathOfLength(kLongestRoot + 1));

  const auto initialBytes = RootBytes();
  std::vector<bool> bytesUnchanged;
  std::vector<std::string> boxes;
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    user.Click(IDC_BROWSE).Then([&] {
      bytesUnchanged.push_back(RootBytes() == initialBytes);
      boxes.push_back(ConsoleBox());
    });
  }
  std::string boxAfterLaterRefusal;
  user.Click(IDC_BROWSE)
      .Click(IDC_BROWSE)
      .Then([&] { boxAfterLaterRefusal = ConsoleBox(); })
      .Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(bytesUnchanged, std::vector<bool>(lengths.size(), true));
  EXPECT_EQ(boxes, std::vector<std::string>(lengths.size(), ""));
  EXPECT_STREQ(g_rootPath, "D:\\seq\\run1.bmp");
  EXPECT_EQ(boxAfterLaterRefusal, "D:\\seq\\run1.bmp");

  const auto& shown = user.MessageBoxes();
  ASSERT_EQ(shown.size(), lengths.size() + 1);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const std::size_t length = i < lengths.size() ? lengths[i] : kLongestRoot + 1;
    SCOPED_TRACE("message " + std::to_string(i));
    EXPECT_NE(shown[i].text.find("too long"), std::string::npos) << shown[i].text;
    EXPECT_NE(shown[i].text.find(std::to_string(length) + " characters"), std::string::npos)
        << shown[i].text;
    EXPECT_NE(shown[i].text.find("at most 251"), std::string::npos) << shown[i].text;
    EXPECT_EQ(shown[i].ownerTemplateId, IDD_KORVANE_DIALOG);
  }
}

}  // namespace
