// Modal dialogs on the headless backend: the life of a shown dialog and the
// keys it handles itself.

#include "UiTestDialog.h"

namespace uitest {
namespace {

using Dialog = UiTest;

TEST_F(Dialog, RunModalShowsTheTemplateFilledFromTheMembersAndRemovesItAfterwards) {
  dialog.onInit = [&] { dialog.SetTimer(1, 100); };
  int again = 0;
  user.Then([&] {
        const auto* window = user.Top();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->TemplateId(), IDD_TEST);
        EXPECT_EQ(window->GetControlText(-1), "Name:");
        EXPECT_EQ(window->GetControlText(IDC_SPEED), "25");
        EXPECT_EQ(window->FocusId(), IDC_NAME);  // the first tab stop
        EXPECT_NE(dialog.m_picture.GetSurface(), nullptr);
        again = dialog.RunModal();  // not while it is shown
      })
      .Wait(100)
      .Click(ui::IDOK);
  EXPECT_EQ(dialog.RunModal(), ui::IDOK);
  EXPECT_EQ(again, -1);
  EXPECT_FALSE(dialog.HasWindow());
  EXPECT_EQ(user.FindWindow(IDD_TEST), nullptr);
  EXPECT_EQ(dialog.m_picture.GetSurface(), nullptr);
  user.Advance(1000);  // the window's timer went with it
  EXPECT_EQ(log, Log{"1@100"});

  // Shown again, with the picture bound to the new window.
  user.Then([&] { EXPECT_NE(dialog.m_picture.GetSurface(), nullptr); }).Key(ui::DialogKey::Escape);
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  dialog.onInit = [&] { dialog.EndModal(42); };  // ends while starting
  EXPECT_EQ(dialog.RunModal(), 42);
  EXPECT_FALSE(dialog.HasWindow());
}

TEST_F(Dialog, EnterPressesTheFocusedPushButtonElseTheDefaultOneElseOk) {
  user.Key(ui::DialogKey::Enter)  // in an edit box: the default button
      .Click(IDC_LOOP)
      .Key(ui::DialogKey::Enter)  // on a check box: the default button
      .Tab()
      .Tab()
      .Tab()
      .Key(ui::DialogKey::Enter);  // on OK, which is not the default
  EXPECT_EQ(dialog.RunModal(), ui::IDOK);
  EXPECT_EQ(log, (Log{"apply", "loop 1", "apply"}));

  TestDlg plain(user, log, kPlain);
  user.Type(IDC_NAME, "plain").Key(ui::DialogKey::Enter);
  EXPECT_EQ(plain.RunModal(), ui::IDOK);
  EXPECT_EQ(plain.m_name, "plain");
}

}  // namespace
}  // namespace uitest
