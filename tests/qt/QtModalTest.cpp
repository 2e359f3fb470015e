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

#include "qt/QtTestDialog.h"
#include "support/TempDir.h"
#include "ui/core/Backend.h"

namespace qttest {
namespace {

constexpr ui::UINT IDT_PLAY = 1, IDT_RECORD = 102, IDM_ABOUT = 0x0010;

std::size_t Count(const Log& log, const std::string& entry) {
  return static_cast<std::size_t>(std::count(log.begin(), log.end(), entry));
}

TEST_F(QtTest, TimersOfTheLowerDialogKeepFiringDuringANestedRun) {
  TestDialog console;
  TestDialog player(&console);
  Guard({&console, &player});
  std::size_t recordTicksBeforePlayer = 0;
  console.onInit = [&] { EXPECT_EQ(console.SetTimer(IDT_RECORD, 10), IDT_RECORD); };
  player.onInit = [&] {
    recordTicksBeforePlayer = Count(console.log, "timer 102");
    EXPECT_EQ(player.SetTimer(IDT_PLAY, 10), IDT_PLAY);
  };
  player.onTimer = [&](ui::UINT id) {
    if (player.log.size() < 5)
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
  EXPECT_EQ(player.log, Log(5, "timer 1"));
  // Five ticks of the player take at least 50 ms, time for several record
  // ticks on the console below it, and for none of the player's.
  EXPECT_GE(Count(console.log, "timer 102"), recordTicksBeforePlayer + 2);
  EXPECT_EQ(Count(console.log, "timer 1"), 0u);

  // The timers went with the windows.
  const std::size_t consoleTicks = console.log.size();
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < 60)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  EXPECT_EQ(console.log.size(), consoleTicks);
  EXPECT_EQ(player.log.size(), 5u);

  // A dialog ended while it is being initialised returns at once.
  player.onInit = [&] { player.EndModal(ui::IDOK); };
  EXPECT_EQ(player.RunModal(), ui::IDOK);
}

// The entries of the system menu that is popped up now, as the user sees
// them; chooses the entry whose text is choice and closes the menu.
QStringList ChooseFromSystemMenu(const QString& choice) {
  QStringList texts;
  auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
  if (menu == nullptr) {
    ADD_FAILURE() << "no system menu is showing";
    return texts;
  }
  for (QAction* action : menu->actions()) {
    texts << (action->isSeparator() ? QStringLiteral("-") : action->text()) +
                 (action->isEnabled() ? QString() : QStringLiteral(" (grayed)"));
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
  QStringList shownOnRightClick, shownOnAltSpace;
  Soon([&] {
    QWidget& window = WindowOf(dialog).Widget();
    Soon([&] { shownOnRightClick = ChooseFromSystemMenu(QStringLiteral("&About Test...")); });
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, QPoint(2, 2),
                                 window.mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(&window, &rightClick);
    // Alt+Space in a control opens the same menu, and does not press the
    // focused button; Close ends the run.
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
  EXPECT_EQ(dialog.log, (Log{"sys 16", "sys 61536"}));
}

TEST_F(QtTest, MessageBoxesAndTheOpenFileDialogAnswerAsTheLayerPromises) {
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

  // The open-file dialog gives the full path of a typed name, even of a file
  // that does not exist (a root path is typed, not picked), or nothing.
  const TempDir folder;
  auto answerWith = [&](const QString& name) {
    auto* files = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(files, nullptr);
    if (name.isEmpty())
      return files->reject();
    files->setDirectory(QString::fromStdString(folder.Path().string()));
    files->selectFile(name);
    QMetaObject::invokeMethod(files, "accept", Qt::DirectConnection);  // as Open does
  };
  Soon([&] { answerWith(QStringLiteral("take9_0024.bmp")); });
  EXPECT_EQ(ui::CurrentBackend().GetOpenFileName(nullptr, ui::OFN_HIDEREADONLY),
            folder.File("take9_0024.bmp"));
  Soon([&] { answerWith(QString()); });
  EXPECT_EQ(ui::CurrentBackend().GetOpenFileName(nullptr, ui::OFN_HIDEREADONLY), std::nullopt);
}

}  // namespace
}  // namespace qttest
