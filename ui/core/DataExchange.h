#pragma once
// Data exchange between a dialog's controls and its members. Fields are
// exchanged one at a time in the order the dialog's ExchangeData names them;
// the first field that fails validation shows its message, takes the focus,
// and every exchange after it does nothing, so later fields are not read.

#include <string>

namespace ui {

class CDialog;
class CStatic;

class CDataExchange {
 public:
  CDataExchange(CDialog& dialog, bool saveAndValidate)
      : m_pDlgWnd(&dialog), m_bSaveAndValidate(saveAndValidate) {}

  CDialog* const m_pDlgWnd;
  const bool m_bSaveAndValidate;  // true: controls to members

  bool Failed() const { return m_failed; }
  int FailedControl() const { return m_failedControl; }
  int LastControl() const { return m_lastControl; }
  void SetLastControl(int id) { m_lastControl = id; }

  // Stops the exchange at the given control: shows the message, puts the
  // focus on the control.
  void Fail(int controlId, const std::string& message);

 private:
  bool m_failed = false;
  int m_failedControl = 0;
  int m_lastControl = 0;
};

// Binds a control object to the control with this id.
void DDX_Control(CDataExchange* pDX, int id, CStatic& control);
// Text of an edit box.
void DDX_Text(CDataExchange* pDX, int id, std::string& value);
// A signed decimal integer in an edit box.
void DDX_Text(CDataExchange* pDX, int id, int& value);
// Range test of the value just read (only when reading the controls).
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minimum, int maximum);

}  // namespace ui
