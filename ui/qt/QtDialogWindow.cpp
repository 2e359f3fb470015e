#include "ui/qt/QtDialogWindow.h"

#include <QAbstractButton>
#include <QEventLoop>
#include <QLineEdit>
#include <QPainter>
#include <algorithm>

#include "ui/core/Dialog.h"
#include "ui/qt/QtIcons.h"
#include "ui/qt/QtPictureWidget.h"

namespace ui::qt {
namespace {

// The font the template names, with a sans-serif fallback where the face is
// not installed; about 8 points when the template gives none.
QFont TemplateFont(const DialogTemplate& t) {
  constexpr int kDefaultPoints = 8;
  const bool ownFont = (t.style & kSetFont) != 0 && !t.fontName.empty() && t.fontPoints > 0;
  QFont font;
  if (ownFont)
    font.setFamily(QString::fromUtf8(t.fontName.data(), static_cast<qsizetype>(t.fontName.size())));
  font.setStyleHint(QFont::SansSerif);
  font.setPointSize(ownFont ? t.fontPoints : kDefaultPoints);
  return font;
}

Qt::WindowFlags TemplateFlags(const DialogTemplate& t) {
  Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint;
  if ((t.style & kCaption) != 0)
    flags |= Qt::WindowTitleHint;
  if ((t.style & kSysMenu) != 0)
    flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
  return flags;
}

}  // namespace

QtDialogWindow::QtDialogWindow(ModalDialog& dialog, QtDialogWindow* owner)
    : m_dialog(dialog),
      m_widget(std::make_unique<QtDialogWidget>(dialog, owner ? &owner->Widget() : nullptr)) {
  const DialogTemplate& t = dialog.Template();
  const DialogScale scale = ScreenScale();
  QtDialogWidget& widget = *m_widget;
  widget.setWindowFlags(TemplateFlags(t));
  widget.setWindowTitle(
      QString::fromUtf8(t.caption.data(), static_cast<qsizetype>(t.caption.size())));
  widget.setFont(TemplateFont(t));
  widget.setFixedSize(scale.X(t.width), scale.Y(t.height));
  // A nested dialog blocks only the window it was opened from; the main window
  // blocks the whole program, since there is nothing else to use.
  widget.setWindowModality(owner != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
  m_controls = CreateControls(widget, dialog, scale);
  for (QtControl& control : m_controls)
    widget.WatchKeysOf(*control.widget);
}

QtDialogWindow::~QtDialogWindow() {
  m_timers.clear();
  m_widget->hide();
}

QtControl* QtDialogWindow::Find(int id) {
  auto it = std::find_if(m_controls.begin(), m_controls.end(),
                         [id](const QtControl& c) { return c.id == id; });
  return it == m_controls.end() ? nullptr : &*it;
}

const QtControl* QtDialogWindow::Find(int id) const {
  auto it = std::find_if(m_controls.begin(), m_controls.end(),
                         [id](const QtControl& c) { return c.id == id; });
  return it == m_controls.end() ? nullptr : &*it;
}

void QtDialogWindow::SetControlText(int id, std::string_view text) {
  if (QtControl* control = Find(id))
    ui::qt::SetControlText(*control, text);
}

std::string QtDialogWindow::GetControlText(int id) const {
  const QtControl* control = Find(id);
  if (control == nullptr)
    return {};
  switch (control->kind) {
    case ControlKind::Edit:
      return static_cast<const QLineEdit*>(control->widget.get())->text().toStdString();
    case ControlKind::PushButton:
    case ControlKind::DefPushButton:
    case ControlKind::CheckBox:
      return static_cast<const QAbstractButton*>(control->widget.get())->text().toStdString();
    default:
      return control->text;
  }
}

int QtDialogWindow::GetCheck(int id) const {
  const QtControl* control = Find(id);
  if (control == nullptr || control->kind != ControlKind::CheckBox)
    return BST_UNCHECKED;
  const auto* box = static_cast<const QAbstractButton*>(control->widget.get());
  return box->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void QtDialogWindow::SetCheck(int id, int state) {
  QtControl* control = Find(id);
  if (control != nullptr && control->kind == ControlKind::CheckBox)
    static_cast<QAbstractButton*>(control->widget.get())->setChecked(state != BST_UNCHECKED);
}

void QtDialogWindow::SetFocusTo(int id) {
  if (QtControl* control = Find(id))
    control->widget->setFocus(Qt::OtherFocusReason);
}

int QtDialogWindow::FocusId() const {
  // The window's focus child, which is kept while the window is inactive.
  const QWidget* focused = m_widget->focusWidget();
  if (focused == nullptr)
    return -1;
  for (const QtControl& control : m_controls) {
    if (control.widget.get() == focused || control.widget->isAncestorOf(focused))
      return control.id;
  }
  return -1;
}

Surface* QtDialogWindow::PictureSurface(int id) {
  QtControl* control = Find(id);
  QtPictureWidget* picture = control != nullptr ? control->Picture() : nullptr;
  return picture != nullptr ? &picture->PixelSurface() : nullptr;
}

void QtDialogWindow::PictureChanged(int id) {
  if (QtControl* control = Find(id); control != nullptr && control->Picture() != nullptr)
    control->widget->update();
}

void QtDialogWindow::SetIcon(HICON icon, bool big) {
  (big ? m_bigIcon : m_smallIcon) = icon;
  m_widget->setWindowIcon(WindowIcon(m_bigIcon, m_smallIcon));
}

bool QtDialogWindow::IsIconic() const {
  return m_widget->isMinimized();
}

void QtDialogWindow::SetIconic(bool iconic) {
  if (iconic)
    m_widget->showMinimized();
  else
    m_widget->showNormal();
}

Rect QtDialogWindow::ClientRect() const {
  return {0, 0, m_widget->width(), m_widget->height()};
}

void QtDialogWindow::DrawIcon(int x, int y, HICON icon) {
  QPainter* painter = m_widget->ActivePainter();
  if (painter == nullptr || icon == nullptr)
    return;  // only while the window paints itself
  const IconImage& image = icon->large.size > 0 ? icon->large : icon->small;
  painter->drawPixmap(x, y, IconPixmap(image));
}

bool QtDialogWindow::SetTimer(UINT id, UINT elapseMs) {
  std::unique_ptr<QTimer>& timer = m_timers[id];
  if (!timer) {
    timer = std::make_unique<QTimer>();
    timer->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer.get(), &QTimer::timeout, timer.get(),
                     [this, id] { m_dialog.SendMessage(WM_TIMER, id, 0); });
  }
  // Starting a running timer restarts it with the new interval.
  timer->start(static_cast<int>(elapseMs));  // within the int range: see Backend.h
  return timer->isActive();
}

bool QtDialogWindow::KillTimer(UINT id) {
  // The timer object is only stopped, not destroyed: a handler may kill the
  // very timer whose expiry it is handling.
  auto it = m_timers.find(id);
  if (it == m_timers.end() || !it->second->isActive())
    return false;
  it->second->stop();
  return true;
}

int QtDialogWindow::RunModalLoop() {
  m_widget->show();
  // The dialog may already have ended while it was being initialised.
  if (!m_ending) {
    QEventLoop loop;
    m_loop = &loop;
    loop.exec(QEventLoop::DialogExec);
    m_loop = nullptr;
  }
  m_widget->hide();
  return m_endCode;
}

void QtDialogWindow::EndModalLoop(int code) {
  m_ending = true;
  m_endCode = code;
  if (m_loop != nullptr)
    m_loop->quit();
}

}  // namespace ui::qt
