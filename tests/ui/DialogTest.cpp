// Modal dialogs on the headless backend: the life of a shown dialog and the
// keys it handles itself.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/core/DataExchange.h"
#include "ui/core/Dialog.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

using ui::headless::HeadlessBackend;

constexpr int IDD_SHOW = 400, IDD_PLAIN = 410;
constexpr int IDC_NAME = 401, IDC_SPEED = 402, IDC_LOOP = 403, IDC_PICTURE = 404, IDC_PLAY = 405;

// A label and a picture come first, so the first tab stop is the third control.
const ui::ControlTemplate kShowControls[] = {
    {-1, ui::ControlKind::Label, "Name:", 5, 5, 30, 8},
    {IDC_PICTURE, ui::ControlKind::Picture, "", 5, 60, 40, 24},
    {IDC_NAME, ui::ControlKind::Edit, "", 40, 5, 80, 12, ui::kTabStop},
    {IDC_SPEED, ui::ControlKind::Edit, "", 40, 20, 30, 12, ui::kTabStop},
    {IDC_LOOP, ui::ControlKind::CheckBox, "&Loop", 40, 35, 40, 10, ui::kTabStop},
    {IDC_PLAY, ui::ControlKind::DefPushButton, "&Play", 130, 5, 50, 14, ui::kTabStop},
    {ui::IDOK, ui::ControlKind::PushButton, "OK", 130, 25, 50, 14, ui::kTabStop},
    {ui::IDCANCEL, ui::ControlKind::PushButton, "Cancel", 130, 45, 50, 14, ui::kTabStop},
};
const ui::DialogTemplate kShowTemplate{IDD_SHOW, ui::kCaption, "Show", "Sans",       8, 0,
                                       0,        200,          100,    kShowControls};
// No default push button at all.
const ui::ControlTemplate kPlainControls[] = {
    {IDC_NAME, ui::ControlKind::Edit, "", 5, 5, 80, 12, ui::kTabStop},
    {IDC_SPEED, ui::ControlKind::Edit, "", 5, 20, 30, 12, ui::kTabStop},
};
const ui::DialogTemplate kPlainTemplate{IDD_PLAIN, ui::kCaption, "Plain", "Sans",        8, 0,
                                        0,         100,          50,      kPlainControls};

class ShowDlg : public ui::ModalDialog {
 public:
  explicit ShowDlg(const ui::DialogTemplate& t = kShowTemplate) : ui::ModalDialog(t, nullptr) {}
  bool OnInitDialog() override {
    ui::ModalDialog::OnInitDialog();
    ++inits;
    SetTimer(1, 100);
    if (endOnInit != 0)
      EndModal(endOnInit);
    return true;
  }
  void OnPlay() { ++plays; }
  void OnTick(ui::UINT) { ++ticks; }

  std::string m_name = "take9";
  int m_speed = 25;
  ui::PictureControl m_picture;
  int inits = 0, plays = 0, ticks = 0, endOnInit = 0;

 protected:
  const ui::MessageMapBase* GetMessageMap() const override {
    using Map = ui::MessageMap<ShowDlg>;
    static const Map map(
        nullptr, {Map::OnCommand(IDC_PLAY, &ShowDlg::OnPlay), Map::OnTimer(&ShowDlg::OnTick)});
    return &map;
  }
  void ExchangeData(ui::DataExchange* dx) override {
    ui::ExchangeControl(dx, IDC_PICTURE, m_picture);
    ui::ExchangeText(dx, IDC_NAME, m_name);
    ui::ExchangeText(dx, IDC_SPEED, m_speed);
  }
};

TEST(Dialog, RunModalShowsTheTemplateFilledFromTheMembersAndRemovesItAfterwards) {
  HeadlessBackend user;
  ShowDlg dialog;
  user.Then([&] {
        const auto* window = user.Top();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->TemplateId(), IDD_SHOW);
        EXPECT_EQ(window->GetControlText(-1), "Name:");
        EXPECT_EQ(window->GetControlText(IDC_NAME), "take9");
        EXPECT_EQ(window->GetControlText(IDC_SPEED), "25");
        EXPECT_EQ(window->FocusId(), IDC_NAME);
        EXPECT_TRUE(dialog.HasWindow());
        EXPECT_NE(dialog.m_picture.GetSurface(), nullptr);
        EXPECT_TRUE(user.HasTimer(*window, 1));
      })
      .Wait(100)
      .Click(ui::IDOK);
  EXPECT_EQ(dialog.RunModal(), ui::IDOK);
  EXPECT_EQ(dialog.ticks, 1);
  EXPECT_FALSE(dialog.HasWindow());
  EXPECT_EQ(user.FindWindow(IDD_SHOW), nullptr);
  EXPECT_FALSE(dialog.m_picture.HasWindow());
  EXPECT_EQ(dialog.m_picture.GetSurface(), nullptr);
  user.Advance(1000);  // the window's timer went with it
  EXPECT_EQ(dialog.ticks, 1);
  EXPECT_FALSE(user.ScriptExhausted());
}

TEST(Dialog, ADialogCanBeShownAgainButNotWhileItIsShown) {
  HeadlessBackend user;
  ShowDlg dialog;
  user.Type(IDC_NAME, "take10").Click(ui::IDOK);
  ASSERT_EQ(dialog.RunModal(), ui::IDOK);
  EXPECT_EQ(dialog.m_name, "take10");

  std::string secondName;
  bool secondPicture = false;
  int again = 0;
  user.Then([&] {
        secondName = user.Top()->GetControlText(IDC_NAME);
        secondPicture = dialog.m_picture.GetSurface() != nullptr;
        again = dialog.RunModal();
      })
      .Key(ui::DialogKey::Escape);
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  EXPECT_EQ(again, -1);
  EXPECT_EQ(dialog.inits, 2);
  EXPECT_EQ(secondName, "take10");
  EXPECT_TRUE(secondPicture);
  EXPECT_FALSE(user.ScriptExhausted());
}

TEST(Dialog, EndModalDuringInitialisationEndsTheDialogAtOnce) {
  HeadlessBackend user;
  ShowDlg dialog;
  dialog.endOnInit = 42;
  EXPECT_EQ(dialog.RunModal(), 42);
  EXPECT_FALSE(dialog.HasWindow());
  EXPECT_FALSE(user.ScriptExhausted());
}

TEST(Dialog, EnterPressesTheFocusedPushButtonElseTheDefaultOneElseOk) {
  HeadlessBackend user;
  ShowDlg dialog;
  std::vector<int> plays;
  auto notePlays = [&] { plays.push_back(dialog.plays); };
  user.Key(ui::DialogKey::Enter)  // in an edit box: the default button
      .Then(notePlays)
      .Click(IDC_LOOP)
      .Key(ui::DialogKey::Enter)  // on a check box: the default button
      .Then(notePlays)
      .Tab()
      .Key(ui::DialogKey::Enter)  // on Play itself
      .Then(notePlays)
      .Tab()
      .Key(ui::DialogKey::Enter);  // on OK, which is not the default
  EXPECT_EQ(dialog.RunModal(), ui::IDOK);
  EXPECT_EQ(plays, (std::vector<int>{1, 2, 3}));

  user.Tab(true).Key(ui::DialogKey::Enter);  // backwards from Name wraps to Cancel
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  user.Key(ui::DialogKey::Escape);
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  EXPECT_EQ(dialog.plays, 3);

  ShowDlg plain(kPlainTemplate);
  user.Type(IDC_NAME, "plain").Key(ui::DialogKey::Enter);
  EXPECT_EQ(plain.RunModal(), ui::IDOK);
  EXPECT_EQ(plain.m_name, "plain");
  EXPECT_FALSE(user.ScriptExhausted());
  EXPECT_TRUE(user.ScriptErrors().empty());
}

}  // namespace
