// The console's system menu with its About entry, and the About box it opens.

#include <gtest/gtest.h>

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

// What one showing of the About box looked like, copied out of the script.
struct AboutView {
  int templateId = 0;
  std::string caption;
  std::string versionText;
  std::string okText;
  int focus = 0;
  int ownerTemplate = 0;
  ui::HICON shownIcon = nullptr;
};

class AboutBox : public ::testing::Test {
 protected:
  void RunConsole() {
    EXPECT_FALSE(theApp.InitInstance());
    EXPECT_FALSE(user.ScriptExhausted());
    EXPECT_TRUE(user.ScriptErrors().empty());
    EXPECT_EQ(user.Top(), nullptr);
  }

  void LookAtTop(AboutView& view) {
    user.Then([this, &view] {
      HeadlessWindow* top = user.Top();
      view.templateId = top->TemplateId();
      view.caption = std::string(top->Dialog().Template().caption);
      view.versionText = top->GetControlText(IDC_STATIC);
      view.okText = top->GetControlText(ui::IDOK);
      view.focus = top->FocusId();
      view.ownerTemplate = top->Owner() ? top->Owner()->TemplateId() : 0;
      if (const ui::ControlTemplate* icon = top->Dialog().Template().Find(IDC_ABOUT_ICON))
        view.shownIcon = icon->icon;
    });
  }

  // Queues a step that records the template of the window on top.
  void RecordTop(std::vector<int>& tops) {
    user.Then([this, &tops] { tops.push_back(user.Top()->TemplateId()); });
  }

  HeadlessBackend user;
};

TEST_F(AboutBox, SystemMenuEndsWithSeparatorAndAboutEntryOncePerShowing) {
  std::vector<std::vector<ui::MenuItem>> menus;
  const auto copyMenu = [&] { menus.push_back(user.Top()->Dialog().SystemMenu()->Items()); };
  // Twice in one run (before and after using the About box), then in a second
  // run of the console: the entry is there exactly once each time.
  user.Then(copyMenu)
      .ChooseSystemMenu(IDM_ABOUTBOX)
      .Key(DialogKey::Escape)
      .Then(copyMenu)
      .Key(DialogKey::Escape);
  RunConsole();
  user.Then(copyMenu).Key(DialogKey::Escape);
  RunConsole();

  const std::vector<ui::MenuItem> standard = ui::Menu::StandardSystemMenu().Items();
  ASSERT_EQ(menus.size(), 3u);
  for (const auto& items : menus) {
    ASSERT_EQ(items.size(), standard.size() + 2);
    for (std::size_t i = 0; i < standard.size(); ++i) {
      EXPECT_EQ(items[i].id, standard[i].id);
      EXPECT_EQ(items[i].flags, standard[i].flags);
      EXPECT_EQ(items[i].text, standard[i].text);
    }
    const ui::MenuItem& separator = items[standard.size()];
    EXPECT_TRUE(separator.IsSeparator());
    EXPECT_EQ(separator.id, 0u);
    const ui::MenuItem& about = items.back();
    EXPECT_FALSE(about.IsSeparator());
    EXPECT_EQ(about.flags, ui::MF_STRING);
    EXPECT_EQ(about.id, IDM_ABOUTBOX);
    EXPECT_EQ(about.text, "&About Korvane...");
    EXPECT_EQ(ui::StripMnemonic(about.text), "About Korvane...");
  }
}

// Chosen from the menu, the About box shows the program's name, version, icon
// and OK over the console; OK, Enter, Escape or its close box close it, and the
// console then answers again (Read file series opens the player).
TEST_F(AboutBox, AboutEntryOpensTheBoxAndEachWayOfClosingReturnsToTheConsole) {
  const std::vector<std::function<void(HeadlessBackend&)>> closers = {
      [](HeadlessBackend& u) { u.Click(ui::IDOK); },
      [](HeadlessBackend& u) { u.Key(DialogKey::Enter); },
      [](HeadlessBackend& u) { u.Key(DialogKey::Escape); },
      [](HeadlessBackend& u) { u.CloseBox(); },
  };
  std::vector<AboutView> views(closers.size());
  std::vector<int> topsAfterClosing;
  std::vector<int> topsAfterReadSeries;
  for (std::size_t i = 0; i < closers.size(); ++i) {
    user.ChooseSystemMenu(IDM_ABOUTBOX);
    LookAtTop(views[i]);
    closers[i](user);
    RecordTop(topsAfterClosing);
    user.Click(IDC_READ_SERIES);
    RecordTop(topsAfterReadSeries);
    user.Key(DialogKey::Escape);
  }
  user.Key(DialogKey::Escape);
  RunConsole();

  for (const AboutView& view : views) {
    EXPECT_EQ(view.templateId, IDD_ABOUTBOX);
    EXPECT_EQ(view.caption, "About Korvane");
    EXPECT_EQ(view.versionText, "Korvane Version 1.0");
    EXPECT_EQ(view.okText, "OK");
    EXPECT_EQ(view.focus, ui::IDOK);
    EXPECT_EQ(view.ownerTemplate, IDD_KORVANE_DIALOG);
    EXPECT_EQ(view.shownIcon, FindIcon(IDR_MAINFRAME));
    EXPECT_NE(view.shownIcon, nullptr);
  }
  EXPECT_EQ(topsAfterClosing, std::vector<int>(closers.size(), IDD_KORVANE_DIALOG));
  EXPECT_EQ(topsAfterReadSeries, std::vector<int>(closers.size(), IDD_FILEREAD));
}

TEST_F(AboutBox, AnyCommandWithTheAboutIdInItsHighBitsOpensIt) {
  std::vector<int> tops;
  for (ui::UINT id = 0x0010; id <= 0x001F; ++id) {
    user.ChooseSystemMenu(id);
    RecordTop(tops);
    user.Key(DialogKey::Escape);
  }
  user.Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(tops, std::vector<int>(16, IDD_ABOUTBOX));
}

// Other system commands keep their standard meaning: none opens the About box;
// minimise and restore change the console's state.
TEST_F(AboutBox, OtherSystemCommandsDoNotOpenIt) {
  const std::vector<ui::UINT> ids = {0x0000,      0x000F,          0x0020,           0x0021,
                                     0x0110,      0x1010,          0x8010,           ui::SC_MOVE,
                                     ui::SC_SIZE, ui::SC_MAXIMIZE, ui::SC_MOVE | 0x2};
  std::vector<int> tops;
  for (const ui::UINT id : ids) {
    user.ChooseSystemMenu(id);
    RecordTop(tops);
  }
  bool iconicAfterMinimise = false;
  bool iconicAfterRestore = true;
  user.ChooseSystemMenu(ui::SC_MINIMIZE);
  RecordTop(tops);
  user.Then([&] { iconicAfterMinimise = user.Top()->IsIconic(); })
      .ChooseSystemMenu(ui::SC_RESTORE)
      .Then([&] { iconicAfterRestore = user.Top()->IsIconic(); })
      .Key(DialogKey::Escape);
  RunConsole();

  EXPECT_EQ(tops, std::vector<int>(ids.size() + 1, IDD_KORVANE_DIALOG));
  EXPECT_TRUE(iconicAfterMinimise);
  EXPECT_FALSE(iconicAfterRestore);
}

}  // namespace
