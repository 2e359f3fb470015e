#include "ui/core/FileDialog.h"

#include "ui/core/Application.h"
#include "ui/core/Backend.h"
#include "ui/core/Dialog.h"

namespace ui {

OpenFileDialog::OpenFileDialog(bool, const char*, const char*, UINT flags, const char*,
                               ModalDialog* owner)
    : m_flags(flags), m_owner(owner) {}

int OpenFileDialog::RunModal() {
  ModalDialog* owner = m_owner;
  if (owner == nullptr && CurrentApp() != nullptr)
    owner = CurrentApp()->m_mainWindow;
  auto chosen =
      CurrentBackend().GetOpenFileName(owner != nullptr ? owner->Native() : nullptr, m_flags);
  if (!chosen)
    return IDCANCEL;
  m_path = std::move(*chosen);
  return IDOK;
}

}  // namespace ui
