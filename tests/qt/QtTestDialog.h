#pragma once
// What the Qt backend tests share: a small dialog with one control of each
// kind whose handlers log what reached them, the offscreen Qt backend for the
// whole test program, and a fixture that never lets a modal run hang and
// checks that no window outlives its test.

#include <gtest/gtest.h>

#include <QTimer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "ui/core/Dialog.h"
#include "ui/qt/QtDialogWindow.h"

namespace qttest {

using ui::UINT;
using Log = std::vector<std::string>;

inline constexpr int IDC_PRESS = 1000, IDC_NAME = 1001, IDC_TICK = 1002, IDC_PICTURE = 1003,
                     IDC_GO = 1004, IDC_ICON = 1005, IDC_PLAIN_LABEL = 1006,
                     IDC_MNEMONIC_LABEL = 1007;

// The end code of a run that the watchdog had to end.
inline constexpr int kTimedOut = -2;

// A 32 × 32 / 16 × 16 icon, bright red all over.
extern const ui::IconResource kRedIcon;

// Logs "press", "go", "tick 1" (with the box's state), "timer 102" and
// "sys 61536" as they reach the message map; painting runs onPaint.
class TestDialog : public ui::ModalDialog {
 public:
  explicit TestDialog(ModalDialog* parent = nullptr);

  std::function<void()> onInit, onPaint;
  std::function<void(UINT)> onTimer;
  Log log;
  ui::PictureControl m_picture;

 protected:
  const ui::MessageMapBase* GetMessageMap() const override;
  bool OnInitDialog() override;
  void ExchangeData(ui::DataExchange* dx) override;

 private:
  void OnPress() { log.push_back("press"); }
  void OnGo() { log.push_back("go"); }
  void OnTick() { log.push_back("tick " + std::to_string(IsDlgButtonChecked(IDC_TICK))); }
  void OnTimerTick(UINT id);
  void OnSysCmd(UINT id, ui::LPARAM lParam);
  void OnPaintWindow() {
    if (onPaint)
      onPaint();
  }
};

// The Qt window of a dialog that is being shown.
inline ui::qt::QtDialogWindow& WindowOf(const ui::ModalDialog& dialog) {
  return *static_cast<ui::qt::QtDialogWindow*>(dialog.Native());
}

// The control widget with this id in a shown dialog.
template <class W>
W* ControlOf(const ui::ModalDialog& dialog, int id) {
  return WindowOf(dialog).Widget().findChild<W*>(QString::number(id));
}

// Sends a key press to whatever has the focus in the dialog (the window
// itself when no control has it), as typing would.
void PressKey(const ui::ModalDialog& dialog, int key, Qt::KeyboardModifiers modifiers = {});

// Runs step once the innermost event loop is running.
void Soon(std::function<void()> step);

class QtTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Ends the runs of these dialogs with kTimedOut if they are still open after
  // a few seconds, so that a fault shows as a failure, not as a hang.
  void Guard(std::initializer_list<ui::ModalDialog*> dialogs);

 private:
  QTimer m_watchdog;
  std::vector<ui::ModalDialog*> m_guarded;
};

}  // namespace qttest
