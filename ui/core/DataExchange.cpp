#include "ui/core/DataExchange.h"

#include <string>

#include "ui/core/Dialog.h"
#include "ui/core/FieldChecks.h"
#include "ui/core/WinApp.h"

namespace ui {

void CDataExchange::Fail(int controlId, const std::string& message) {
  if (m_failed)
    return;
  m_failed = true;
  m_failedControl = controlId;
  m_pDlgWnd->MessageBox(message.c_str(), nullptr, MB_OK | MB_ICONEXCLAMATION);
  m_pDlgWnd->GotoDlgCtrl(controlId);
}

void DDX_Control(CDataExchange* pDX, int id, CStatic& control) {
  if (pDX->Failed())
    return;
  pDX->SetLastControl(id);
  if (control.HasWindow() || !pDX->m_pDlgWnd->HasWindow())
    return;
  control.AttachTo(pDX->m_pDlgWnd->Native(), id);
  pDX->m_pDlgWnd->Attach(control);
}

void DDX_Text(CDataExchange* pDX, int id, std::string& value) {
  if (pDX->Failed())
    return;
  pDX->SetLastControl(id);
  if (pDX->m_bSaveAndValidate) {
    value = pDX->m_pDlgWnd->GetDlgItemText(id);
  } else {
    pDX->m_pDlgWnd->SetDlgItemText(id, value.c_str());
  }
}

void DDX_Text(CDataExchange* pDX, int id, int& value) {
  if (pDX->Failed())
    return;
  pDX->SetLastControl(id);
  if (pDX->m_bSaveAndValidate) {
    if (auto message = ParseIntField(pDX->m_pDlgWnd->GetDlgItemText(id), value)) {
      pDX->Fail(id, *message);
    }
  } else {
    pDX->m_pDlgWnd->SetDlgItemInt(id, value);
  }
}

void DDV_MinMaxInt(CDataExchange* pDX, int value, int minimum, int maximum) {
  if (pDX->Failed() || !pDX->m_bSaveAndValidate)
    return;
  if (auto message = CheckIntRange(value, minimum, maximum)) {
    pDX->Fail(pDX->LastControl(), *message);
  }
}

}  // namespace ui
