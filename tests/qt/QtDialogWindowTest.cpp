// A dialog window built with real widgets: its size and controls from the
// template, its own painting, and clicks and keys reaching the message map.
// (Frames drawn into the picture control are checked pixel by pixel on the
// console's road through the Qt widgets, tests/qtapp.)

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "qt/QtTestDialog.h"
#include "ui/core/DeviceContext.h"
#include "ui/qt/QtControls.h"

namespace qttest {
namespace {

TEST_F(QtTest, TheWindowAndItsControlsFollowTheTemplate) {
  TestDialog dialog;
  Guard({&dialog});
  // The offscreen screen has 96 dpi: dialog units map to pixels unscaled.
  ASSERT_EQ(ui::qt::ScreenScale().factor, 1.0);
  // An icon drawn while the window paints, where no control covers it.
  dialog.onPaint = [&] {
    ui::PaintContext dc(dialog);
    dc.DrawIcon(200, 0, &kRedIcon);
  };
  Soon([&] {
    QWidget& window = WindowOf(dialog).Widget();
    EXPECT_EQ(window.windowTitle().toStdString(), "Test dialog");
    EXPECT_EQ(window.size(), QSize(510, 358));  // 340 × 220 units
    EXPECT_EQ(ControlOf<QPushButton>(dialog, IDC_PRESS)->geometry(), QRect(11, 11, 75, 23));
    EXPECT_EQ(ControlOf<QLabel>(dialog, IDC_PLAIN_LABEL)->text().toStdString(), "Fish & Chips");
    EXPECT_EQ(ControlOf<QLabel>(dialog, IDC_MNEMONIC_LABEL)->text().toStdString(), "Name");
    // The icon control shows all of its 32-pixel icon, though its template
    // rectangle is 30 pixels wide; the picture fits a 320 × 240 frame.
    EXPECT_EQ(ControlOf<QLabel>(dialog, IDC_ICON)->size(), QSize(32, 33));
    const ui::Surface* surface = dialog.m_picture.GetSurface();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(QSize(surface->Width(), surface->Height()), QSize(348, 310));
    // Only the template's default button is drawn as default, and no button
    // takes Enter for itself.
    for (int id : {IDC_PRESS, IDC_GO, ui::IDCANCEL}) {
      EXPECT_EQ(ControlOf<QPushButton>(dialog, id)->isDefault(), id == IDC_GO) << id;
      EXPECT_FALSE(ControlOf<QPushButton>(dialog, id)->autoDefault()) << id;
    }

    // Tab order is template order over the tab stops; the first has the focus.
    EXPECT_EQ(WindowOf(dialog).FocusId(), IDC_PRESS);
    std::vector<int> order;
    QWidget* widget = ControlOf<QWidget>(dialog, IDC_PRESS);
    for (int i = 0; i < 5; ++i) {
      order.push_back(widget->objectName().toInt());
      do {
        widget = widget->nextInFocusChain();
      } while (widget->focusPolicy() == Qt::NoFocus);
    }
    EXPECT_EQ(order, (std::vector<int>{IDC_PRESS, IDC_NAME, IDC_TICK, IDC_GO, ui::IDCANCEL}));

    // Texts and check states go both ways; setting a state is not a click.
    ControlOf<QLineEdit>(dialog, IDC_NAME)->setText("typed");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_NAME), "typed");
    dialog.SetDlgItemText(IDC_MNEMONIC_LABEL, "&Root");
    EXPECT_EQ(ControlOf<QLabel>(dialog, IDC_MNEMONIC_LABEL)->text().toStdString(), "Root");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_MNEMONIC_LABEL), "&Root");
    dialog.CheckDlgButton(IDC_TICK, ui::BST_CHECKED);
    EXPECT_TRUE(ControlOf<QCheckBox>(dialog, IDC_TICK)->isChecked());
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_TICK), 1u);

    // Window icons in both sizes, and the minimised state.
    dialog.SetIcon(&kRedIcon, true);
    dialog.SetIcon(&kRedIcon, false);
    const QList<QSize> sizes = window.windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)) && sizes.contains(QSize(16, 16)));
    dialog.SendMessage(ui::WM_SYSCOMMAND, ui::SC_MINIMIZE);
    EXPECT_TRUE(dialog.IsIconic());
    dialog.SendMessage(ui::WM_SYSCOMMAND, ui::SC_RESTORE);
    EXPECT_FALSE(dialog.IsIconic());

    // The icon shows where the paint handler drew it, at its full size.
    // Outside painting there is nothing to draw on; nothing happens.
    WindowOf(dialog).DrawIcon(0, 0, &kRedIcon);
    const QImage shown = window.grab().toImage();
    EXPECT_EQ(shown.pixelColor(200, 0), QColor(255, 0, 0));
    EXPECT_EQ(shown.pixelColor(231, 31), QColor(255, 0, 0));
    EXPECT_NE(shown.pixelColor(232, 31), QColor(255, 0, 0));
    EXPECT_NE(shown.pixelColor(199, 0), QColor(255, 0, 0));
    EXPECT_NE(shown.pixelColor(0, 0), QColor(255, 0, 0));
    dialog.EndModal(ui::IDOK);
  });
  EXPECT_EQ(dialog.RunModal(), ui::IDOK);
  EXPECT_EQ(dialog.log, (Log{"sys 61472", "sys 61728"}));  // no click among them
  EXPECT_FALSE(dialog.HasWindow());
  EXPECT_EQ(dialog.m_picture.GetSurface(), nullptr);  // gone with the window
}

TEST_F(QtTest, ClicksAndKeysReachTheMessageMap) {
  TestDialog dialog;
  Guard({&dialog});
  Soon([&] {
    ControlOf<QPushButton>(dialog, IDC_PRESS)->click();
    for (int i = 0; i < 3; ++i)
      ControlOf<QCheckBox>(dialog, IDC_TICK)->click();
    // Enter presses the focused push button, else the default one.
    dialog.GotoDlgCtrl(IDC_NAME);
    PressKey(dialog, Qt::Key_Return);
    dialog.GotoDlgCtrl(IDC_TICK);
    PressKey(dialog, Qt::Key_Enter, Qt::KeypadModifier);
    dialog.GotoDlgCtrl(IDC_PRESS);
    PressKey(dialog, Qt::Key_Return);
    dialog.GotoDlgCtrl(IDC_NAME);
    PressKey(dialog, Qt::Key_Escape);
  });
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  // A check box has changed state by the time its click is handled.
  EXPECT_EQ(dialog.log, (Log{"press", "tick 1", "tick 0", "tick 1", "go", "go", "press"}));

  // The close box ends the run through the system command.
  dialog.log.clear();
  Soon([&] { WindowOf(dialog).Widget().close(); });
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  EXPECT_EQ(dialog.log, Log{"sys 61536"});
}

}  // namespace
}  // namespace qttest
