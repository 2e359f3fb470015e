#include "ui/qt/QtDialogWidget.h"

#include <QAction>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScopeGuard>
#include <optional>

#include "ui/core/Dialog.h"
#include "ui/core/Menu.h"

namespace ui::qt {

QtDialogWidget::QtDialogWidget(ModalDialog& dialog, QWidget* owner)
    : QDialog(owner), m_dialog(dialog) {}

void QtDialogWidget::WatchKeysOf(QWidget& control) {
  control.installEventFilter(this);
}

bool QtDialogWidget::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && HandleDialogKey(*static_cast<QKeyEvent*>(event)))
    return true;
  return QDialog::eventFilter(watched, event);
}

void QtDialogWidget::keyPressEvent(QKeyEvent* event) {
  // Keys typed into a control have passed the filter already; these are the
  // keys that reach the window itself.
  if (!HandleDialogKey(*event))
    QDialog::keyPressEvent(event);
}

bool QtDialogWidget::HandleDialogKey(const QKeyEvent& event) {
  const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (modifiers != Qt::NoModifier)
        return false;
      m_dialog.HandleKey(DialogKey::Enter);
      return true;
    case Qt::Key_Escape:
      if (modifiers != Qt::NoModifier)
        return false;
      m_dialog.HandleKey(DialogKey::Escape);
      return true;
    case Qt::Key_Space:
      if (modifiers != Qt::AltModifier)
        return false;
      PopUpSystemMenu(mapToGlobal(QPoint(0, 0)));
      return true;
    default:
      return false;
  }
}

void QtDialogWidget::reject() {
  m_dialog.HandleKey(DialogKey::Escape);
}

void QtDialogWidget::closeEvent(QCloseEvent* event) {
  // The window stays; the dialog decides through its system-command handling,
  // whose default ends the modal run.
  event->ignore();
  m_dialog.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
}

void QtDialogWidget::contextMenuEvent(QContextMenuEvent* event) {
  event->accept();
  PopUpSystemMenu(event->globalPos());
}

void QtDialogWidget::PopUpSystemMenu(const QPoint& globalPosition) {
  // The menu is read afresh each time: the program appends entries after the
  // window has been created.
  const Menu* systemMenu = m_dialog.SystemMenu();
  if (systemMenu == nullptr)
    return;
  QMenu popup(this);
  for (const MenuItem& item : systemMenu->Items()) {
    if (item.IsSeparator()) {
      popup.addSeparator();
      continue;
    }
    // "&" marks the mnemonic in Qt too, and text after a tab is shown as the
    // entry's shortcut.
    QAction* action = popup.addAction(QString::fromStdString(item.text));
    action->setData(item.id);
    action->setEnabled((item.flags & MF_GRAYED) == 0);
  }
  std::optional<UINT> chosen;
  QObject::connect(&popup, &QMenu::triggered, &popup,
                   [&chosen](QAction* action) { chosen = action->data().toUInt(); });
  popup.exec(globalPosition);
  if (chosen)
    m_dialog.SendMessage(WM_SYSCOMMAND, *chosen, 0);
}

void QtDialogWidget::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  m_painter = &painter;
  const auto done = qScopeGuard([this] { m_painter = nullptr; });
  m_dialog.SendMessage(WM_PAINT, 0, 0);
}

}  // namespace ui::qt
