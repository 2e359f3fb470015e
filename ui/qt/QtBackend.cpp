#include "ui/qt/QtBackend.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include "ui/core/DeviceContext.h"
#include "ui/qt/QtControls.h"
#include "ui/qt/QtDialogWindow.h"

namespace ui::qt {
namespace {

QWidget* OwnerWidget(NativeDialog* owner) {
  return owner != nullptr ? &static_cast<QtDialogWindow*>(owner)->Widget() : nullptr;
}

// The icon bits of a message-box style.
QMessageBox::Icon BoxIcon(UINT style) {
  constexpr UINT kIconMask = 0x00F0;
  constexpr UINT kIconHand = 0x0010;
  constexpr UINT kIconQuestion = 0x0020;
  constexpr UINT kIconAsterisk = 0x0040;
  switch (style & kIconMask) {
    case kIconHand:
      return QMessageBox::Critical;
    case kIconQuestion:
      return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
      return QMessageBox::Warning;
    case kIconAsterisk:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

}  // namespace

struct QtBackend::Toolkit {
  Toolkit(int& argc, char** argv) : app(argc, argv) {
    // Windows are hidden, never closed, and the program ends when its main
    // dialog's run returns; Qt must not end the event loops on its own when
    // the last window goes.
    QApplication::setQuitOnLastWindowClosed(false);
  }
  QApplication app;
};

QtBackend::QtBackend(int& argc, char** argv)
    : m_application(std::make_unique<Toolkit>(argc, argv)) {
  SetBackend(this);
}

QtBackend::~QtBackend() {
  SetBackend(nullptr);
}

std::unique_ptr<NativeDialog> QtBackend::CreateDialogWindow(ModalDialog& dialog,
                                                            NativeDialog* owner) {
  return std::make_unique<QtDialogWindow>(dialog, static_cast<QtDialogWindow*>(owner));
}

int QtBackend::MessageBox(NativeDialog* owner, std::string_view text, std::string_view caption,
                          UINT style) {
  QMessageBox box(BoxIcon(style), FromUtf8(caption), FromUtf8(text), QMessageBox::Ok,
                  OwnerWidget(owner));
  box.exec();
  return IDOK;
}

std::optional<std::string> QtBackend::GetOpenFileName(NativeDialog* owner, UINT flags) {
  // Qt's own dialog behaves the same on every desktop, and accepts a typed
  // name of a file that does not exist yet unless the caller forbids it.
  QFileDialog dialog(OwnerWidget(owner), QStringLiteral("Open"));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode((flags & OFN_FILEMUSTEXIST) != 0 ? QFileDialog::ExistingFile
                                                      : QFileDialog::AnyFile);
  if (dialog.exec() != QDialog::Accepted)
    return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty())
    return std::nullopt;
  return QFileInfo(chosen.front()).absoluteFilePath().toStdString();
}

int QtBackend::GetSystemMetrics(int index) const {
  return StandardSystemMetric(index);
}

}  // namespace ui::qt
