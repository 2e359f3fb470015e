// A dialog window built with real widgets: its size and controls from the
// template, clicks and keys reaching the message map, the picture control's
// pixels, and the window's own painting.

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <array>
#include <cstdint>
#include <vector>

#include "qt/QtTestDialog.h"
#include "ui/core/DeviceContext.h"
#include "ui/qt/QtControls.h"

namespace qttest {
namespace {

TEST_F(QtTest, WindowTakesItsSizeTitleFontAndControlsFromTheTemplate) {
  TestDialog dialog;
  Guard({&dialog});
  // The offscreen screen has 96 dpi: dialog units map to pixels unscaled.
  ASSERT_EQ(ui::qt::ScreenScale().factor, 1.0);
  dialog.onInit = [&] {
    QWidget& window = WindowOf(dialog).Widget();
    EXPECT_EQ(window.windowTitle().toStdString(), "Test dialog");
    EXPECT_EQ(window.font().pointSize(), 8);
    EXPECT_EQ(window.size(), QSize(510, 358));  // 340 × 220 units
    ui::Rect client;
    dialog.GetClientRect(&client);
    EXPECT_EQ(QSize(client.Width(), client.Height()), window.size());
    EXPECT_EQ(ControlOf<QPushButton>(dialog, IDC_PRESS)->geometry(), QRect(11, 11, 75, 23));
    EXPECT_TRUE(ControlOf<QLineEdit>(dialog, IDC_NAME)->hasFrame());
    EXPECT_EQ(ControlOf<QLabel>(dialog, IDC_PLAIN_LABEL)->text().toStdString(), "Fish & Chips");
    EXPECT_EQ(ControlOf<QLabel>(dialog, IDC_MNEMONIC_LABEL)->text().toStdString(), "Name");
    // The icon control shows all of its 32-pixel icon, though its template
    // rectangle is 30 pixels wide.
    const QLabel* icon = ControlOf<QLabel>(dialog, IDC_ICON);
    EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));
    EXPECT_EQ(icon->size(), QSize(32, 33));

    // Only the template's default button is drawn as default, and no button
    // takes Enter for itself.
    for (int id : {IDC_PRESS, IDC_GO, ui::IDCANCEL}) {
      const QPushButton* button = ControlOf<QPushButton>(dialog, id);
      EXPECT_EQ(button->isDefault(), id == IDC_GO) << id;
      EXPECT_FALSE(button->autoDefault()) << id;
    }

    // 232 × 191 units give a surface large enough for a 320 × 240 frame.
    const ui::Surface* surface = dialog.m_picture.GetSurface();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(QSize(surface->Width(), surface->Height()), QSize(348, 310));
    dialog.EndModal(ui::IDOK);
  };
  EXPECT_EQ(dialog.RunModal(), ui::IDOK);
  EXPECT_FALSE(dialog.HasWindow());
}

TEST_F(QtTest, TabOrderFollowsTheTemplateAndTheFirstStopHasTheFocus) {
  TestDialog dialog;
  Guard({&dialog});
  Soon([&] {
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
    dialog.GotoDlgCtrl(IDC_TICK);
    EXPECT_EQ(WindowOf(dialog).FocusId(), IDC_TICK);
    dialog.EndModal(ui::IDOK);
  });
  dialog.RunModal();
}

TEST_F(QtTest, ClicksReachTheMessageMapAndCancelEndsTheRun) {
  TestDialog dialog;
  Guard({&dialog});
  Soon([&] {
    ControlOf<QPushButton>(dialog, IDC_PRESS)->click();
    ControlOf<QPushButton>(dialog, IDC_PRESS)->click();
    ControlOf<QCheckBox>(dialog, IDC_TICK)->click();
    ControlOf<QCheckBox>(dialog, IDC_TICK)->click();
    ControlOf<QCheckBox>(dialog, IDC_TICK)->click();
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_TICK), 1u);
    ControlOf<QPushButton>(dialog, ui::IDCANCEL)->click();
  });
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  EXPECT_EQ(dialog.presses, 2);
  // A check box has changed state by the time its click is handled.
  EXPECT_EQ(dialog.tickStates, (std::vector<ui::UINT>{1, 0, 1}));
}

TEST_F(QtTest, ControlTextsAndCheckStatesRoundTrip) {
  TestDialog dialog;
  Guard({&dialog});
  dialog.onInit = [&] {
    ControlOf<QLineEdit>(dialog, IDC_NAME)->setText("typed");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_NAME), "typed");
    dialog.SetDlgItemText(IDC_MNEMONIC_LABEL, "&Root");
    EXPECT_EQ(ControlOf<QLabel>(dialog, IDC_MNEMONIC_LABEL)->text().toStdString(), "Root");
    EXPECT_EQ(dialog.GetDlgItemText(IDC_MNEMONIC_LABEL), "&Root");
    dialog.CheckDlgButton(IDC_TICK, ui::BST_CHECKED);
    EXPECT_TRUE(ControlOf<QCheckBox>(dialog, IDC_TICK)->isChecked());
    EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_PRESS), 0u);  // not a check box
    dialog.EndModal(ui::IDOK);
  };
  dialog.RunModal();
  EXPECT_TRUE(dialog.tickStates.empty());  // setting a state is not a click
}

TEST_F(QtTest, EnterPressesTheFocusedOrElseTheDefaultButton) {
  TestDialog dialog;
  Guard({&dialog});
  Soon([&] {
    dialog.GotoDlgCtrl(IDC_NAME);
    PressKey(dialog, Qt::Key_Return);
    EXPECT_EQ(dialog.goes, 1);
    dialog.GotoDlgCtrl(IDC_TICK);
    PressKey(dialog, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(dialog.goes, 2);
    dialog.GotoDlgCtrl(IDC_PRESS);
    PressKey(dialog, Qt::Key_Return);
    EXPECT_EQ(dialog.presses, 1);
    EXPECT_EQ(dialog.goes, 2);
    dialog.GotoDlgCtrl(IDC_NAME);
    PressKey(dialog, Qt::Key_Escape);
  });
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  EXPECT_EQ(dialog.goes, 2);
  EXPECT_EQ(dialog.presses, 1);
}

TEST_F(QtTest, CloseBoxEndsTheRunThroughTheSystemCommand) {
  TestDialog dialog;
  Guard({&dialog});
  Soon([&] { WindowOf(dialog).Widget().close(); });
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);
  EXPECT_EQ(dialog.sysCommands, (std::vector<ui::UINT>{ui::SC_CLOSE}));
}

// A 320 × 240 frame as the program draws it: bottom-up rows of blue, green,
// red, every pixel blue except the first pixel in memory, which is red.
std::vector<std::uint8_t> BlueFrameWithRedFirstPixel() {
  std::vector<std::uint8_t> frame(320 * 240 * 3);
  for (std::size_t i = 0; i < frame.size(); i += 3) {
    frame[i] = 0xFF;
    frame[i + 1] = 0;
    frame[i + 2] = 0;
  }
  frame[0] = 0;
  frame[2] = 0xFF;
  return frame;
}

TEST_F(QtTest, FrameDrawnIntoThePictureShowsInItsPixels) {
  TestDialog dialog;
  Guard({&dialog});
  Soon([&] {
    const std::vector<std::uint8_t> frame = BlueFrameWithRedFirstPixel();
    ui::BITMAPINFOHEADER header;
    header.biWidth = 320;
    header.biHeight = 240;
    {
      ui::ClientContext dc(dialog.m_picture);
      EXPECT_EQ(ui::StretchDIBits(dc, 0, 0, 320, 240, 0, 0, 320, 240, frame.data(), &header,
                                  ui::DIB_RGB_COLORS, ui::SRCCOPY),
                240);
    }
    const QImage shown = ControlOf<QWidget>(dialog, IDC_PICTURE)->grab().toImage();
    // The first row in memory is the picture's bottom row.
    EXPECT_EQ(shown.pixelColor(0, 239), QColor(255, 0, 0));
    EXPECT_EQ(shown.pixelColor(1, 239), QColor(0, 0, 255));
    EXPECT_EQ(shown.pixelColor(0, 0), QColor(0, 0, 255));
    EXPECT_EQ(shown.pixelColor(319, 0), QColor(0, 0, 255));
    // Beyond the frame the surface keeps its face colour.
    EXPECT_EQ(shown.pixelColor(330, 0), QColor(0xF0, 0xF0, 0xF0));
    EXPECT_EQ(shown.pixelColor(0, 300), QColor(0xF0, 0xF0, 0xF0));
    dialog.EndModal(ui::IDOK);
  });
  dialog.RunModal();
  EXPECT_EQ(dialog.m_picture.GetSurface(), nullptr);  // gone with the window
}

TEST_F(QtTest, IconsDrawnWhileTheWindowPaintsShowOnIt) {
  TestDialog dialog;
  Guard({&dialog});
  // Drawn where no control covers the window.
  dialog.onPaint = [&] {
    ui::PaintContext dc(dialog);
    dc.DrawIcon(200, 0, &kRedIcon);
  };
  Soon([&] {
    // Outside painting there is nothing to draw on; nothing happens.
    WindowOf(dialog).DrawIcon(0, 0, &kRedIcon);
    const QImage shown = WindowOf(dialog).Widget().grab().toImage();
    EXPECT_GT(dialog.paints, 0);
    EXPECT_EQ(shown.pixelColor(200, 0), QColor(255, 0, 0));
    EXPECT_EQ(shown.pixelColor(231, 31), QColor(255, 0, 0));
    EXPECT_NE(shown.pixelColor(232, 31), QColor(255, 0, 0));
    EXPECT_NE(shown.pixelColor(199, 0), QColor(255, 0, 0));
    EXPECT_NE(shown.pixelColor(0, 0), QColor(255, 0, 0));
    dialog.EndModal(ui::IDOK);
  });
  dialog.RunModal();
}

TEST_F(QtTest, WindowIconAndMinimisedState) {
  TestDialog dialog;
  Guard({&dialog});
  dialog.onInit = [&] {
    dialog.SetIcon(&kRedIcon, true);
    dialog.SetIcon(&kRedIcon, false);
  };
  Soon([&] {
    const QList<QSize> sizes = WindowOf(dialog).Widget().windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_EQ(ui::GetSystemMetrics(ui::SM_CXICON), 32);
    EXPECT_EQ(ui::GetSystemMetrics(ui::SM_CYSMICON), 16);
    EXPECT_FALSE(dialog.IsIconic());
    dialog.SendMessage(ui::WM_SYSCOMMAND, ui::SC_MINIMIZE);
    EXPECT_TRUE(dialog.IsIconic());
    dialog.SendMessage(ui::WM_SYSCOMMAND, ui::SC_RESTORE);
    EXPECT_FALSE(dialog.IsIconic());
    dialog.EndModal(ui::IDOK);
  });
  dialog.RunModal();
}

}  // namespace
}  // namespace qttest
