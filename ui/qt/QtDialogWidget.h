#pragma once
// The top-level widget of a dialog window. It turns the window's own events
// into the dialog's messages: Enter and Escape go to ModalDialog::HandleKey
// whichever control has the focus, the close box becomes SC_CLOSE, a right
// click or Alt+Space pops up the system menu, and painting sends WM_PAINT.

#include <QDialog>

namespace ui {
class ModalDialog;
}

class QPainter;

namespace ui::qt {

class QtDialogWidget final : public QDialog {
 public:
  QtDialogWidget(ModalDialog& dialog, QWidget* owner);

  // Sends the keys the dialog handles itself to the dialog before control
  // sees them.
  void WatchKeysOf(QWidget& control);

  // The painter of the window while it paints itself (during the WM_PAINT
  // dispatch), otherwise nullptr.
  QPainter* ActivePainter() const { return m_painter; }

  // Shows the dialog's system menu as it is now and sends the chosen entry as
  // WM_SYSCOMMAND. Returns when the menu has closed.
  void PopUpSystemMenu(const QPoint& globalPosition);

  // Anything that would reject the dialog the Qt way cancels it the
  // dialog's way instead.
  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  // True when the key was one of the dialog's own.
  bool HandleDialogKey(const QKeyEvent& event);

  ModalDialog& m_dialog;
  QPainter* m_painter = nullptr;
};

}  // namespace ui::qt
