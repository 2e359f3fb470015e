// Browse: the chosen full path becomes the root path shown in the console and
// handed to the player; a cancelled dialog or a path that does not fit the
// root path buffer changes nothing.

#include <array>
#include <optional>
#include <vector>

#include "ConsoleTestSupport.h"

using namespace res;
using ui::DialogKey;

namespace {

using Browse = ConsoleTest;

TEST_F(Browse, OkStoresThePathAsChosenAndCancelChangesNothing) {
  std::vector<std::string> boxes, roots;
  const auto look = [&] {
    boxes.push_back(Box(IDD_KORVANE_DIALOG, IDC_ROOT_PATH));
    roots.push_back(g_rootPath);
  };
  std::string playerRoot;
  user.AnswerFileDialog(std::nullopt)
      .AnswerFileDialog("D:\\seq\\run1.bmp")
      .AnswerFileDialog(std::nullopt)
      .Click(IDC_BROWSE)
      .Then(look)
      .Click(IDC_BROWSE)
      .Then(look)
      .Click(IDC_BROWSE)
      .Then(look)
      .Click(IDC_READ_SERIES)
      .Then([&] { playerRoot = user.Top()->GetControlText(IDC_ROOT_PATH); })
      .Key(DialogKey::Escape)
      .CloseBox();  // ends the console's run, as Escape does
  RunConsole();

  EXPECT_EQ(user.OpenFileDialogs(), 3);
  // The path is stored as chosen: the extension stays.
  const std::string chosen = "D:\\seq\\run1.bmp";
  EXPECT_EQ(boxes, (std::vector<std::string>{"", chosen, chosen}));
  EXPECT_EQ(roots, (std::vector<std::string>{kInitialRoot, chosen, chosen}));
  EXPECT_EQ(playerRoot, chosen);
  EXPECT_EQ(g_fileReadDlg.m_rootPath, chosen);
  EXPECT_TRUE(user.MessageBoxes().empty());
}

// 251 characters fit the buffer; one more, or far more, is refused as a whole
// with a message naming the length, and not one byte of the buffer changes.
TEST_F(Browse, PathsLongerThan251CharactersAreRefusedWithAMessage) {
  const auto pathOf = [](std::size_t length) {
    std::string path = "D:\\seq\\";
    path.resize(length, 'r');
    return path;
  };
  const std::array<std::size_t, 4> lengths = {252, 1000, 251, 252};
  const std::array<bool, 4> taken = {false, false, true, false};
  std::array<char, sizeof g_rootPath> expected{};
  std::memcpy(expected.data(), g_rootPath, sizeof g_rootPath);
  std::vector<bool> bytesAsExpected;
  std::vector<std::string> boxes;
  for (std::size_t i = 0; i < lengths.size(); ++i) {
    user.AnswerFileDialog(pathOf(lengths[i])).Click(IDC_BROWSE).Then([&, i] {
      if (taken[i])
        std::memcpy(expected.data(), pathOf(lengths[i]).c_str(), lengths[i] + 1);
      bytesAsExpected.push_back(std::memcmp(expected.data(), g_rootPath, sizeof g_rootPath) == 0);
      boxes.push_back(Box(IDD_KORVANE_DIALOG, IDC_ROOT_PATH));
    });
  }
  user.ChooseSystemMenu(ui::SC_CLOSE);  // ends the console's run, as Escape does
  RunConsole();

  EXPECT_EQ(bytesAsExpected, std::vector<bool>(lengths.size(), true));
  EXPECT_EQ(boxes, (std::vector<std::string>{"", "", pathOf(251), pathOf(251)}));
  EXPECT_EQ(std::string(g_rootPath), pathOf(251));
  const auto& shown = user.MessageBoxes();
  ASSERT_EQ(shown.size(), 3u);
  for (std::size_t i = 0; i < shown.size(); ++i) {
    const std::string length = std::to_string(i == 1 ? 1000 : 252);
    EXPECT_THAT(shown[i].text, HasSubstr("too long"));
    EXPECT_THAT(shown[i].text, HasSubstr(length + " characters"));
    EXPECT_THAT(shown[i].text, HasSubstr("at most 251"));
    EXPECT_EQ(shown[i].ownerTemplateId, IDD_KORVANE_DIALOG);
  }
}

}  // namespace
