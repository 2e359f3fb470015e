// The typical road through the real Qt widgets, offscreen: the console opens,
// Read file series opens the player, the user types into its boxes, ticks both
// check boxes and presses READ; the series plays, and the picture control's
// grabbed pixels show the red marker where the track file says. A refused rate
// shows a message box and keeps the focus on its box.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <vector>

#include "app/Korvane.h"
#include "base/Trace.h"
#include "console/KorvaneDlg.h"
#include "image/BmpFile.h"
#include "image/SeriesFrames.h"
#include "player/FileRead.h"
#include "res/ResourceIds.h"
#include "support/QtTestEnvironment.h"
#include "support/TempDir.h"
#include "tracks/TrackGlobals.h"
#include "ui/qt/QtDialogWindow.h"

using namespace res;

namespace {

// Runs each step once its condition holds, polling inside whatever modal loop
// is running; gives up (and closes every dialog) after a deadline, so a fault
// fails the test instead of hanging it.
class Driver {
 public:
  struct Step {
    std::function<bool()> ready;
    std::function<void()> act;
  };

  explicit Driver(std::vector<Step> steps) : m_steps(std::move(steps)) {
    m_poll.setInterval(10);
    QObject::connect(&m_poll, &QTimer::timeout, [this] { Poll(); });
    m_poll.start();
  }
  bool Finished() const { return m_next == m_steps.size(); }
  bool TimedOut() const { return m_timedOut; }

 private:
  void Poll() {
    if (++m_polls > 1000) {  // ten seconds
      m_timedOut = true;
      m_poll.stop();
      if (g_fileReadDlg.HasWindow())
        g_fileReadDlg.EndModal(ui::IDCANCEL);
      if (theApp.m_mainWindow != nullptr)
        theApp.m_mainWindow->EndModal(ui::IDCANCEL);
      return;
    }
    if (Finished())
      return;
    // The action may open a modal dialog; it runs from its own event so that
    // this poll returns and the timer can go on firing inside that dialog.
    if (m_steps[m_next].ready())
      QTimer::singleShot(0, m_steps[m_next++].act);
  }

  std::vector<Step> m_steps;
  std::size_t m_next = 0;
  int m_polls = 0;
  bool m_timedOut = false;
  QTimer m_poll;
};

QWidget& WindowOf(const ui::ModalDialog& dialog) {
  return static_cast<ui::qt::QtDialogWindow*>(dialog.Native())->Widget();
}

template <class W>
W* Control(const ui::ModalDialog& dialog, int id) {
  auto* window = static_cast<ui::qt::QtDialogWindow*>(dialog.Native());
  return window == nullptr ? nullptr : window->Widget().findChild<W*>(QString::number(id));
}

class ConsoleRoadQt : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(::getcwd(m_oldDir.data(), m_oldDir.size()), m_oldDir.data());
    ASSERT_EQ(::chdir(m_dir.Path().c_str()), 0);
    g_fileReadDlg.m_frameRate = 10;
    g_trueTracks.Reset();
  }
  void TearDown() override { ASSERT_EQ(::chdir(m_oldDir.data()), 0); }

  // Frames 24..54 of a grey series, and one target moving right along y = 120.
  void WriteSeries() {
    std::vector<unsigned char> frame(320 * 240 * 3, 0x40);
    for (int n = 24; n <= 54; ++n)
      WriteBmpFile(series::FrameFileName(m_dir.File("run"), n).c_str(), frame, 320, 240);
    std::ofstream tracks("truetracks.txt");
    tracks << "1 24\n";
    for (int n = 24; n <= 54; ++n)
      tracks << (100 + n) << " 120\n";
  }

  TempDir m_dir;
  std::array<char, 4096> m_oldDir{};
};

TEST_F(ConsoleRoadQt, PlaysTheSeriesWithTheMarkerWhereTheTrackFileSays) {
  WriteSeries();
  const base::ScopedTraceSink quiet([](std::string_view) {});
  CKorvaneDlg console;
  theApp.m_mainWindow = &console;
  QImage picture;
  std::string lastFrameBox;

  Driver driver({
      {[&] { return console.HasWindow(); },
       [&] { Control<QPushButton>(console, IDC_READ_SERIES)->click(); }},
      {[&] { return g_fileReadDlg.HasWindow(); },
       [&] {
         Control<QLineEdit>(g_fileReadDlg, IDC_ROOT_PATH)
             ->setText(QString::fromStdString(m_dir.File("run")));
         Control<QLineEdit>(g_fileReadDlg, IDC_FRAME_RATE)->setText("30");
         Control<QCheckBox>(g_fileReadDlg, IDC_USE_TRUETRACKS)->click();
         Control<QCheckBox>(g_fileReadDlg, IDC_SHOW_TRACK)->click();
         Control<QPushButton>(g_fileReadDlg, IDC_READ)->click();
       }},
      {[&] { return g_fileReadDlg.m_curFrame == 55; },
       [&] {
         picture = Control<QWidget>(g_fileReadDlg, IDC_PICTURE)->grab().toImage();
         lastFrameBox = Control<QLineEdit>(g_fileReadDlg, IDC_LAST_FRAME)->text().toStdString();
         Control<QPushButton>(g_fileReadDlg, ui::IDCANCEL)->click();
       }},
      {[&] { return !g_fileReadDlg.HasWindow(); }, [&] { console.EndModal(ui::IDCANCEL); }},
  });
  console.RunModal();
  theApp.m_mainWindow = nullptr;

  ASSERT_FALSE(driver.TimedOut());
  EXPECT_TRUE(driver.Finished());
  EXPECT_EQ(lastFrameBox, "55");
  ASSERT_GE(picture.width(), 320);
  ASSERT_GE(picture.height(), 240);
  // Frame 54: the marker covers columns 154..163 and rows 111..120 of the
  // picture; the trail runs along y = 120 from x = 124; elsewhere the frame's grey.
  EXPECT_EQ(picture.pixelColor(158, 115), QColor(255, 0, 0));
  EXPECT_EQ(picture.pixelColor(154, 120), QColor(255, 0, 0));
  EXPECT_EQ(picture.pixelColor(153, 120), QColor(0, 255, 0));
  EXPECT_EQ(picture.pixelColor(125, 119), QColor(0, 255, 0));
  EXPECT_EQ(picture.pixelColor(164, 115), QColor(0x40, 0x40, 0x40));
  EXPECT_EQ(picture.pixelColor(10, 10), QColor(0x40, 0x40, 0x40));
  EXPECT_EQ(QApplication::topLevelWidgets().size(), 0);
}

TEST_F(ConsoleRoadQt, ARefusedRateShowsItsMessageAndKeepsTheFocusOnItsBox) {
  CKorvaneDlg console;
  theApp.m_mainWindow = &console;
  QString message;
  bool rateHadFocus = false;

  Driver driver({
      {[&] { return console.HasWindow(); },
       [&] { Control<QPushButton>(console, IDC_READ_SERIES)->click(); }},
      {[&] { return g_fileReadDlg.HasWindow(); },
       [&] {
         Control<QLineEdit>(g_fileReadDlg, IDC_FRAME_RATE)->setText("31");
         // The message box runs its own loop; the driver goes on polling in it.
         Control<QPushButton>(g_fileReadDlg, IDC_READ)->click();
       }},
      {[&] {
         return !message.isEmpty() && QApplication::activeModalWidget() == &WindowOf(g_fileReadDlg);
       },
       [&] {
         rateHadFocus = g_fileReadDlg.Native()->FocusId() == IDC_FRAME_RATE;
         Control<QPushButton>(g_fileReadDlg, ui::IDCANCEL)->click();
       }},
      {[&] { return !g_fileReadDlg.HasWindow(); }, [&] { console.EndModal(ui::IDCANCEL); }},
  });
  // Message boxes open while the READ click is handled: answer each one.
  QTimer boxes;
  boxes.setInterval(10);
  QObject::connect(&boxes, &QTimer::timeout, [&] {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (auto* box = qobject_cast<QMessageBox*>(widget); box != nullptr && box->isVisible()) {
        message = box->text();
        box->accept();
      }
    }
  });
  boxes.start();
  console.RunModal();
  theApp.m_mainWindow = nullptr;

  ASSERT_FALSE(driver.TimedOut());
  EXPECT_TRUE(message.contains("between 1 and 30")) << message.toStdString();
  EXPECT_TRUE(rateHadFocus);
  EXPECT_EQ(g_fileReadDlg.m_frameRate, 31);  // stored before the range test refused it
}

}  // namespace
