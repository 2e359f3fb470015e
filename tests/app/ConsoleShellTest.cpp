// The console's standard window behaviours: the system menu's About entry and
// the About box it opens, the application icon on the window, as its drag
// picture and drawn centred while minimised, and the icon art itself.

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "app/Korvane.h"
#include "console/KorvaneDlg.h"
#include "res/AppIcon.h"
#include "res/ResourceIds.h"
#include "ui/core/Menu.h"
#include "ui/headless/HeadlessBackend.h"

using namespace res;
using ui::DialogKey;
using ui::headless::HeadlessBackend;
using ui::headless::HeadlessWindow;

namespace {

class ConsoleShell : public ::testing::Test {
 protected:
  void RunConsole() {
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_FALSE(user.ScriptExhausted());
    EXPECT_TRUE(user.ScriptErrors().empty());
    EXPECT_EQ(user.Top(), nullptr);
  }

  HeadlessBackend user;
  const ui::HICON m_appIcon = FindIcon(IDR_MAINFRAME);
};

// Every command with the About id in its high bits (0x0010 to 0x001F) opens
// the About box over the console: name, version, icon and OK. OK, Enter,
// Escape or its close box close it, and the console answers again. Every
// other system command keeps its standard meaning. The system menu ends with
// a separator and the About entry once, however often the box was used, and
// again in a second run of the console.
TEST_F(ConsoleShell, TheAboutEntryOpensTheAboutBox) {
  const std::vector<std::function<void(HeadlessBackend&)>> closers = {
      [](HeadlessBackend& u) { u.Click(ui::IDOK); },
      [](HeadlessBackend& u) { u.Key(DialogKey::Enter); },
      [](HeadlessBackend& u) { u.Key(DialogKey::Escape); },
      [](HeadlessBackend& u) { u.CloseBox(); },
  };
  const std::string about = "About Korvane|Korvane Version 1.0|OK|icon|over 102";
  std::vector<std::string> seen, expected;
  const auto look = [&] {
    HeadlessWindow& top = *user.Top();
    const ui::ControlTemplate* icon = top.Dialog().Template().Find(IDC_ABOUT_ICON);
    seen.push_back(top.TemplateId() != IDD_ABOUTBOX
                       ? std::to_string(top.TemplateId())
                       : std::string(top.Dialog().Template().caption) + "|" +
                             top.GetControlText(IDC_STATIC) + "|" + top.GetControlText(ui::IDOK) +
                             (icon && icon->icon == m_appIcon ? "|icon" : "|no icon") + "|over " +
                             std::to_string(top.Owner()->TemplateId()));
  };
  std::vector<std::vector<ui::MenuItem>> menus;
  const auto copyMenu = [&] { menus.push_back(user.Top()->Dialog().SystemMenu()->Items()); };
  user.Then(copyMenu);
  for (ui::UINT id = 0x0010; id <= 0x001F; ++id) {
    user.ChooseSystemMenu(id).Then(look);
    closers[id % closers.size()](user);
    user.Then(look);
    expected.insert(expected.end(), {about, "102"});
  }
  for (const ui::UINT id : {0x0000u, 0x000Fu, 0x0020u, 0x0021u, 0x0110u, 0x1010u, 0x8010u,
                            ui::SC_MOVE, ui::SC_SIZE, ui::SC_MAXIMIZE, ui::SC_MOVE | 0x2}) {
    user.ChooseSystemMenu(id).Then(look);
    expected.push_back("102");
  }
  user.Click(IDC_READ_SERIES).Then(look).Key(DialogKey::Escape).Then(copyMenu);
  expected.push_back(std::to_string(IDD_FILEREAD));
  user.Key(DialogKey::Escape);
  RunConsole();
  user.Then(copyMenu).Key(DialogKey::Escape);
  RunConsole();

  ASSERT_NE(m_appIcon, nullptr);
  EXPECT_EQ(seen, expected);
  const std::size_t standard = ui::Menu::StandardSystemMenu().Items().size();
  ASSERT_EQ(menus.size(), 3u);
  for (const auto& items : menus) {
    ASSERT_EQ(items.size(), standard + 2);
    EXPECT_TRUE(items[standard].IsSeparator());
    EXPECT_EQ(items.back().flags, ui::MF_STRING);
    EXPECT_EQ(items.back().id, IDM_ABOUTBOX);
    EXPECT_EQ(items.back().text, "&About Korvane...");
  }
}

// The window's big and small icons and its drag picture are the application
// icon. Only while minimised does painting draw it: after sending the console
// WM_ICONERASEBKGND with the paint context, centred with the halves truncated
// toward zero (width 0: -15; width 2: -14, not -15).
TEST_F(ConsoleShell, TheIconIsOnTheWindowAndDrawnCentredWhileMinimised) {
  struct Case {
    int width, height, x, y;
  };
  const std::vector<Case> cases = {
      {36, 36, 2, 2}, {0, 0, -15, -15}, {2, 1, -14, -15}, {100, 50, 34, 9}, {33, 32, 1, 0},
  };
  // Each icon background erase, with the number of icons drawn by then.
  std::vector<std::string> erases;
  const struct ObserverReset {
    ~ObserverReset() { ui::SetMessageObserver({}); }
  } resetObserver;
  ui::SetMessageObserver([&](const ui::ModalDialog& to, const ui::Message& message) {
    if (message.message == ui::WM_ICONERASEBKGND) {
      const bool right = &to == &user.Top()->Dialog() && message.wParam != 0 && message.lParam == 0;
      erases.push_back((right ? "after " : "wrong, after ") +
                       std::to_string(user.Top()->IconDraws().size()));
    }
  });
  const auto paint = [&](int width, int height) {
    user.Top()->SetClientSize(width, height);
    user.Top()->Dialog().SendMessage(ui::WM_PAINT);
  };
  std::vector<ui::HICON> icons;
  const auto dragIcon = [&] {
    icons.push_back(
        reinterpret_cast<ui::HICON>(user.Top()->Dialog().SendMessage(ui::WM_QUERYDRAGICON)));
  };
  std::vector<ui::headless::IconDraw> draws;
  user.Then([&] {
        icons.insert(icons.end(), {user.Top()->Icon(true), user.Top()->Icon(false)});
        paint(36, 36);
      })
      .Then(dragIcon)
      .ChooseSystemMenu(ui::SC_MINIMIZE)
      .Then([&] {
        for (const Case& c : cases)
          paint(c.width, c.height);
      })
      .Then(dragIcon)
      .ChooseSystemMenu(ui::SC_RESTORE)
      .Then([&] {
        paint(36, 36);
        draws = user.Top()->IconDraws();
      })
      .Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(icons, std::vector<ui::HICON>(4, m_appIcon));
  ASSERT_EQ(draws.size(), cases.size());
  ASSERT_EQ(erases.size(), cases.size());
  for (std::size_t i = 0; i < cases.size(); ++i) {
    EXPECT_EQ(std::make_pair(draws[i].x, draws[i].y), std::make_pair(cases[i].x, cases[i].y));
    EXPECT_EQ(draws[i].icon, m_appIcon);
    EXPECT_EQ(erases[i], "after " + std::to_string(i));
  }
}

// Both images are square, of the sizes the window system asks for, and drawn
// only with the 16 palette characters and '.' for the transparent mask: any
// other character would silently show as a hole.
TEST(AppIconResource, HasA32And16PixelImageInThePalette) {
  const ui::HICON icon = FindIcon(IDR_MAINFRAME);
  ASSERT_NE(icon, nullptr);
  EXPECT_EQ(icon->large.size, 32);
  EXPECT_EQ(icon->small.size, 16);
  for (const ui::IconImage* image : {&icon->large, &icon->small}) {
    SCOPED_TRACE("image of " + std::to_string(image->size));
    ASSERT_EQ(image->rows.size(), static_cast<std::size_t>(image->size * image->size));
    EXPECT_EQ(image->rows.find_first_not_of("0123456789ABCDEF."), std::string_view::npos);
    const std::vector<std::uint32_t> argb = ui::IconToArgb(*image);
    // A picture, not an empty mask: most of each image is drawn.
    const auto opaque =
        std::count_if(argb.begin(), argb.end(), [](std::uint32_t p) { return (p >> 24) == 0xFF; });
    EXPECT_GT(opaque, static_cast<long>(argb.size() / 2));
  }
}

}  // namespace
