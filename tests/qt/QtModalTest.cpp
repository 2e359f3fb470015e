// Modal runs through the Qt backend: nested dialogs with timers on both
// levels, the system menu pop-up, message boxes and the open-file dialog.

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "qt/QtTestDialog.h"
#include "support/TempDir.h"
#include "ui/core/Backend.h"

namespace qttest {
namespace {

constexpr ui::UINT IDT_PLAY = 1;
constexpr ui::UINT IDT_RECORD = 102;
constexpr ui::UINT IDM_ABOUT = 0x0010;

std::size_t Count(const std::vector<ui::UINT>& ids, ui::UINT id) {
  return static_cast<std::size_t>(std::count(ids.begin(), ids.end(), id));
}

// Lets the event loop run for a while, outside any modal run.
void RunEventsFor(int milliseconds) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < milliseconds)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

TEST_F(QtTest, TimersOfTheLowerDialogKeepFiringDuringANestedRun) {
  TestDialog console;
  TestDialog player(&console);
  Guard({&console, &player});
  std::size_t recordTicksBeforePlayer = 0;
  console.onInit = [&] { EXPECT_EQ(console.SetTimer(IDT_RECORD, 10), IDT_RECORD); };
  player.onInit = [&] {
    recordTicksBeforePlayer = Count(console.timerIds, IDT_RECORD);
    EXPECT_EQ(player.SetTimer(IDT_PLAY, 10), IDT_PLAY);
  };
  player.onTimer = [&](ui::UINT id) {
    if (player.timerIds.size() < 5)
      return;
    // A handler may kill the very timer it handles.
    EXPECT_TRUE(player.KillTimer(id));
    EXPECT_FALSE(player.KillTimer(id));
    player.EndModal(ui::IDOK);
  };
  Soon([&] {
    EXPECT_EQ(player.RunModal(), ui::IDOK);
    console.EndModal(ui::IDOK);
  });
  EXPECT_EQ(console.RunModal(), ui::IDOK);

  EXPECT_EQ(player.timerIds, std::vector<ui::UINT>(5, IDT_PLAY));
  EXPECT_EQ(Count(console.timerIds, IDT_PLAY), 0u);
  // Five ticks of the player take at least 50 ms, time for several record
  // ticks on the console below it.
  EXPECT_GE(Count(console.timerIds, IDT_RECORD), recordTicksBeforePlayer + 2);

  // The timers went with the windows.
  const std::size_t consoleTicks = console.timerIds.size();
  RunEventsFor(60);
  EXPECT_EQ(console.timerIds.size(), consoleTicks);
  EXPECT_EQ(player.timerIds.size(), 5u);
}

TEST_F(QtTest, DialogEndedDuringItsInitialisationReturnsAtOnce) {
  TestDialog dialog;
  Guard({&dialog});
  dialog.onInit = [&] { dialog.EndModal(ui::IDOK); };
  EXPECT_EQ(dialog.RunModal(), ui::IDOK);
}

// The entries of the system menu that is popped up now, as the user sees
// them; chooses the entry whose text is choice, if any, and closes the menu.
QStringList ChooseFromSystemMenu(const QString& choice) {
  QStringList texts;
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  if (menu == nullptr) {
    ADD_FAILURE() << "no system menu is showing";
    return texts;
  }
  for (QAction* action : menu->actions()) {
    QString text = action->isSeparator() ? QStringLiteral("-") : action->text();
    if (!action->isEnabled())
      text += QStringLiteral(" (grayed)");
    texts << text;
    if (!action->isSeparator() && action->text() == choice)
      action->trigger();
  }
  menu->close();
  return texts;
}

TEST_F(QtTest, SystemMenuShowsEntriesAppendedAfterCreationAndSendsTheChoice) {
  TestDialog dialog;
  Guard({&dialog});
  dialog.onInit = [&] {
    ui::Menu* menu = dialog.GetSystemMenu(false);
    ASSERT_NE(menu, nullptr);
    menu->AppendMenu(ui::MF_SEPARATOR);
    menu->AppendMenu(ui::MF_STRING, IDM_ABOUT, "&About Test...");
  };
  QStringList shownOnRightClick;
  QStringList shownOnAltSpace;
  Soon([&] {
    QWidget& window = WindowOf(dialog).Widget();
    Soon([&] { shownOnRightClick = ChooseFromSystemMenu(QStringLiteral("&About Test...")); });
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(2, 2),
                                 window.mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(&window, &rightClick);
    EXPECT_EQ(dialog.sysCommands, std::vector<ui::UINT>{IDM_ABOUT});

    // Alt+Space in a control opens the same menu; Close ends the run.
    dialog.GotoDlgCtrl(IDC_PRESS);
    Soon([&] { shownOnAltSpace = ChooseFromSystemMenu(QStringLiteral("&Close\tAlt+F4")); });
    PressKey(dialog, Qt::Key_Space, Qt::AltModifier);
  });
  EXPECT_EQ(dialog.RunModal(), ui::IDCANCEL);

  const QStringList expected = {
      QStringLiteral("&Restore (grayed)"), QStringLiteral("&Move"),
      QStringLiteral("Mi&nimize"),         QStringLiteral("-"),
      QStringLiteral("&Close\tAlt+F4"),    QStringLiteral("-"),
      QStringLiteral("&About Test..."),
  };
  EXPECT_EQ(shownOnRightClick, expected);
  EXPECT_EQ(shownOnAltSpace, expected);
  EXPECT_EQ(dialog.sysCommands, (std::vector<ui::UINT>{IDM_ABOUT, ui::SC_CLOSE}));
  EXPECT_EQ(dialog.presses, 0);  // Alt+Space did not press the focused button
}

TEST_F(QtTest, MessageBoxShowsTextCaptionAndIconOverItsOwner) {
  TestDialog dialog;
  Guard({&dialog});
  int answer = 0;
  Soon([&] {
    Soon([&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(box->text().toStdString(), "Unable to obtain timer");
      EXPECT_EQ(box->windowTitle().toStdString(), "IDT_TIMER_0");
      EXPECT_EQ(box->icon(), QMessageBox::Warning);
      EXPECT_EQ(box->parentWidget(), &WindowOf(dialog).Widget());
      box->button(QMessageBox::Ok)->click();
    });
    answer = dialog.MessageBox("Unable to obtain timer", "IDT_TIMER_0",
                               ui::MB_OK | ui::MB_ICONEXCLAMATION | ui::MB_SYSTEMMODAL);
    dialog.EndModal(ui::IDOK);
  });
  dialog.RunModal();
  EXPECT_EQ(answer, ui::IDOK);

  // Without owner and without icon style.
  Soon([] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    box->button(QMessageBox::Ok)->click();
  });
  EXPECT_EQ(ui::CurrentBackend().MessageBox(nullptr, "Plain", "Caption", ui::MB_OK), ui::IDOK);
}

// Answers the open-file dialog that is showing with a typed name, or cancels
// it when name is empty.
void AnswerFileDialog(const QString& folder, const QString& name) {
  auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
  if (dialog == nullptr) {
    ADD_FAILURE() << "no file dialog is showing";
    return;
  }
  if (name.isEmpty()) {
    dialog->reject();
    return;
  }
  dialog->setDirectory(folder);
  dialog->selectFile(name);
  // As pressing Open does.
  QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
}

TEST_F(QtTest, OpenFileDialogGivesTheFullPathOfATypedNameOrNothing) {
  const TempDir folder;
  const QString path = QString::fromStdString(folder.Path().string());
  Soon([&] { AnswerFileDialog(path, QStringLiteral("take9_0024.bmp")); });
  const std::optional<std::string> chosen =
      ui::CurrentBackend().GetOpenFileName(nullptr, ui::OFN_HIDEREADONLY);
  // The file does not exist: a root path is typed, not picked.
  EXPECT_EQ(chosen, folder.FilePath("take9_0024.bmp"));

  Soon([&] { AnswerFileDialog(path, QString()); });
  EXPECT_EQ(ui::CurrentBackend().GetOpenFileName(nullptr, ui::OFN_HIDEREADONLY), std::nullopt);
}

}  // namespace
}  // namespace qttest
