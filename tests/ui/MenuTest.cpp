// Menus: the standard system menu, appended entries and mnemonics.

#include "ui/core/Menu.h"

#include <gtest/gtest.h>

namespace {

TEST(Menu, TheStandardSystemMenuHasRestoreMoveMinimizeAndClose) {
  const ui::Menu menu = ui::Menu::StandardSystemMenu();
  const auto& items = menu.Items();
  ASSERT_EQ(items.size(), 5u);
  EXPECT_EQ(items[0].id, ui::SC_RESTORE);
  EXPECT_EQ(items[0].flags, ui::MF_STRING | ui::MF_GRAYED);  // a dialog starts restored
  EXPECT_EQ(items[1].id, ui::SC_MOVE);
  EXPECT_EQ(items[2].id, ui::SC_MINIMIZE);
  EXPECT_TRUE(items[3].IsSeparator());
  EXPECT_EQ(items[4].id, ui::SC_CLOSE);
  EXPECT_EQ(items[4].text, "&Close\tAlt+F4");
  EXPECT_EQ(menu.Find(ui::SC_CLOSE), &items[4]);
  EXPECT_EQ(menu.Find(ui::SC_MAXIMIZE), nullptr);
}

TEST(Menu, ASeparatorCarriesNeitherIdNorTextAndIsNeverFound) {
  ui::Menu menu;
  EXPECT_TRUE(menu.AppendMenu(ui::MF_SEPARATOR, 0x10, "ignored"));
  EXPECT_TRUE(menu.AppendMenu(ui::MF_STRING, 0x10, "&About Korvane..."));
  ASSERT_EQ(menu.Items().size(), 2u);
  EXPECT_TRUE(menu.Items()[0].IsSeparator());
  EXPECT_EQ(menu.Items()[0].id, 0u);
  EXPECT_EQ(menu.Items()[0].text, "");
  EXPECT_EQ(menu.Items()[1].text, "&About Korvane...");
  EXPECT_EQ(menu.Find(0x10), &menu.Items()[1]);
  EXPECT_EQ(menu.Find(0), nullptr);
}

TEST(Menu, StripMnemonicDropsSingleAmpersandsAndKeepsDoubledOnes) {
  EXPECT_EQ(ui::StripMnemonic("&About Korvane..."), "About Korvane...");
  EXPECT_EQ(ui::StripMnemonic("Mi&nimize"), "Minimize");
  EXPECT_EQ(ui::StripMnemonic("Save && &Quit"), "Save & Quit");
  EXPECT_EQ(ui::StripMnemonic("&&&x"), "&x");
  EXPECT_EQ(ui::StripMnemonic("trailing&"), "trailing");
  EXPECT_EQ(ui::StripMnemonic("&Close\tAlt+F4"), "Close\tAlt+F4");
}

}  // namespace
