#include "ui/core/FileDialog.h"

#include "ui/core/Backend.h"
#include "ui/core/Dialog.h"
#include "ui/core/WinApp.h"

namespace ui {

CFileDialog::CFileDialog(bool, const char*, const char*, UINT flags, const char*, CDialog* owner)
    : m_flags(flags), m_owner(owner) {}

int CFileDialog::RunModal() {
  CDialog* owner = m_owner;
  if (owner == nullptr && AfxGetApp() != nullptr)
    owner = AfxGetApp()->m_pMainWnd;
  auto chosen =
      CurrentBackend().GetOpenFileName(owner != nullptr ? owner->Native() : nullptr, m_flags);
  if (!chosen)
    return IDCANCEL;
  m_path = std::move(*chosen);
  return IDOK;
}

}  // namespace ui
