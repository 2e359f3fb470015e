// Mnemonics: what a menu entry or label shows of its text.

#include "ui/core/Menu.h"

#include <gtest/gtest.h>

namespace {

TEST(Menu, StripMnemonicDropsSingleAmpersandsAndKeepsDoubledOnes) {
  EXPECT_EQ(ui::StripMnemonic("Mi&nimize"), "Minimize");
  EXPECT_EQ(ui::StripMnemonic("Save && &Quit"), "Save & Quit");
  EXPECT_EQ(ui::StripMnemonic("&&&x"), "&x");
  EXPECT_EQ(ui::StripMnemonic("trailing&"), "trailing");
}

}  // namespace
