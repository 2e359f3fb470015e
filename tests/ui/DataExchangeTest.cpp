// Data exchange between a shown dialog's boxes and its members: both
// directions, integer boxes, range checks and where a failed exchange stops.

#include "ui/core/DataExchange.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "ui/core/Dialog.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

using ui::headless::HeadlessBackend;
using Log = std::vector<std::string>;

constexpr int IDD_EXCHANGE = 500, IDC_TITLE = 501, IDC_START = 502, IDC_COUNT = 503;

const ui::ControlTemplate kControls[] = {
    {IDC_TITLE, ui::ControlKind::Edit, "", 5, 5, 80, 12, ui::kTabStop},
    {IDC_START, ui::ControlKind::Edit, "", 5, 20, 40, 12, ui::kTabStop},
    {IDC_COUNT, ui::ControlKind::Edit, "", 5, 35, 40, 12, ui::kTabStop},
    {ui::IDOK, ui::ControlKind::DefPushButton, "OK", 100, 5, 50, 14, ui::kTabStop},
};
const ui::DialogTemplate kTemplate{IDD_EXCHANGE, ui::kCaption, "Exchange", "Sans", 8, 0, 0,
                                   160,          70,           kControls};

// Three fields in a fixed order; only the start frame has a range.
class ExchangeDlg : public ui::ModalDialog {
 public:
  ExchangeDlg() : ui::ModalDialog(kTemplate, nullptr) {}
  std::string m_title = "take9";
  int m_start = 24;
  int m_count = 54;

 protected:
  void ExchangeData(ui::DataExchange* dx) override {
    ui::ExchangeText(dx, IDC_TITLE, m_title);
    ui::ExchangeText(dx, IDC_START, m_start);
    ui::ValidateRange(dx, m_start, 1, 30);
    ui::ExchangeText(dx, IDC_COUNT, m_count);
  }
};

class DataExchange : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_FALSE(user.ScriptExhausted());
    EXPECT_TRUE(user.ScriptErrors().empty());
  }
  std::string Text(int id) const { return user.Top()->GetControlText(id); }
  // The members and the focus, as one line to compare.
  std::string State() const {
    return std::to_string(user.Top()->FocusId()) + " " + dialog.m_title + " " +
           std::to_string(dialog.m_start) + " " + std::to_string(dialog.m_count);
  }

  HeadlessBackend user;
  ExchangeDlg dialog;
};

TEST_F(DataExchange, MembersGoToTheBoxesUncheckedAndComeBackChecked) {
  user.Then([&] {
        EXPECT_EQ(Text(IDC_TITLE), "take9");
        EXPECT_EQ(Text(IDC_START), "24");
        dialog.m_start = 99;  // writing to the boxes checks nothing
        dialog.m_count = INT_MIN;
        EXPECT_TRUE(dialog.UpdateData(false));
        EXPECT_EQ(Text(IDC_START), "99");
        EXPECT_EQ(Text(IDC_COUNT), "-2147483648");
      })
      .Type(IDC_TITLE, "  take 10 ")
      .Type(IDC_START, " 7 ")
      .Type(IDC_COUNT, "-3")
      .Click(ui::IDOK);
  EXPECT_EQ(dialog.RunModal(), ui::IDOK);
  EXPECT_EQ(dialog.m_title, "  take 10 ");  // text is taken as typed
  EXPECT_EQ(dialog.m_start, 7);
  EXPECT_EQ(dialog.m_count, -3);
  EXPECT_TRUE(user.MessageBoxes().empty());
}

TEST_F(DataExchange, AFailedExchangeStopsAtTheBadBoxAndPutsTheFocusThere) {
  // Each look runs inside the dialog's loop, so the looks also show that the
  // dialog stayed open after each failed OK.
  Log seen;
  auto look = [&] { seen.push_back(State()); };
  user.Type(IDC_TITLE, "new")
      .Type(IDC_START, "abc")
      .Type(IDC_COUNT, "7")
      .Click(ui::IDOK)
      .Then(look)  // not an integer: the title is stored, the count not read
      .Type(IDC_START, "45")
      .Click(ui::IDOK)
      .Then(look)  // out of range: the number is stored all the same
      .Type(IDC_START, "0")
      .Key(ui::DialogKey::Enter)
      .Then(look)
      .Type(IDC_START, "")
      .Type(IDC_COUNT, "2147483648")
      .Click(ui::IDOK)
      .Then(look)
      .Type(IDC_START, "30")
      .Click(ui::IDOK)
      .Then(look)  // the count is the bad box now
      .Type(IDC_COUNT, " +8 ")
      .Click(ui::IDOK);
  EXPECT_EQ(dialog.RunModal(), ui::IDOK);
  EXPECT_EQ(seen, (Log{"502 new 24 54", "502 new 45 54", "502 new 0 54", "502 new 0 54",
                       "503 new 30 54"}));
  EXPECT_EQ(dialog.m_count, 8);

  // One box per failed exchange, owned by the dialog, naming what is expected.
  const Log texts = {"Please enter an integer.", "Please enter an integer between 1 and 30.",
                     "Please enter an integer between 1 and 30.", "Please enter an integer.",
                     "Please enter an integer between -2147483648 and 2147483647."};
  ASSERT_EQ(user.MessageBoxes().size(), texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(user.MessageBoxes()[i].text, texts[i]);
    EXPECT_EQ(user.MessageBoxes()[i].style, ui::MB_OK | ui::MB_ICONEXCLAMATION);
    EXPECT_EQ(user.MessageBoxes()[i].ownerTemplateId, IDD_EXCHANGE);
  }
}

}  // namespace
