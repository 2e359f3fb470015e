#include "ui/core/DataExchange.h"

#include <string>

#include "ui/core/Application.h"
#include "ui/core/Dialog.h"
#include "ui/core/FieldChecks.h"

namespace ui {

void DataExchange::Fail(int controlId, const std::string& message) {
  if (m_failed)
    return;
  m_failed = true;
  m_dialog->MessageBox(message.c_str(), nullptr, MB_OK | MB_ICONEXCLAMATION);
  m_dialog->GotoDlgCtrl(controlId);
}

void ExchangeControl(DataExchange* dx, int id, PictureControl& control) {
  if (dx->Failed())
    return;
  dx->SetLastControl(id);
  if (control.HasWindow() || !dx->m_dialog->HasWindow())
    return;
  control.AttachTo(dx->m_dialog->Native(), id);
  dx->m_dialog->Attach(control);
}

void ExchangeText(DataExchange* dx, int id, std::string& value) {
  if (dx->Failed())
    return;
  dx->SetLastControl(id);
  if (dx->m_saveAndValidate) {
    value = dx->m_dialog->GetDlgItemText(id);
  } else {
    dx->m_dialog->SetDlgItemText(id, value.c_str());
  }
}

void ExchangeText(DataExchange* dx, int id, int& value) {
  if (dx->Failed())
    return;
  dx->SetLastControl(id);
  if (dx->m_saveAndValidate) {
    if (auto message = ParseIntField(dx->m_dialog->GetDlgItemText(id), value)) {
      dx->Fail(id, *message);
    }
  } else {
    dx->m_dialog->SetDlgItemInt(id, value);
  }
}

void ValidateRange(DataExchange* dx, int value, int minimum, int maximum) {
  if (dx->Failed() || !dx->m_saveAndValidate)
    return;
  if (auto message = CheckIntRange(value, minimum, maximum)) {
    dx->Fail(dx->LastControl(), *message);
  }
}

}  // namespace ui
