#pragma once
// Data exchange between a dialog's controls and its members. Fields are
// exchanged one at a time in the order the dialog's ExchangeData names them;
// the first field that fails validation shows its message, takes the focus,
// and every exchange after it does nothing, so later fields are not read.

#include <string>

namespace ui {

class ModalDialog;
class PictureControl;

class DataExchange {
 public:
  DataExchange(ModalDialog& dialog, bool saveAndValidate)
      : m_dialog(&dialog), m_saveAndValidate(saveAndValidate) {}

  ModalDialog* const m_dialog;
  const bool m_saveAndValidate;  // true: controls to members

  bool Failed() const { return m_failed; }
  int LastControl() const { return m_lastControl; }
  void SetLastControl(int id) { m_lastControl = id; }

  // Stops the exchange at the given control: shows the message, puts the
  // focus on the control.
  void Fail(int controlId, const std::string& message);

 private:
  bool m_failed = false;
  int m_lastControl = 0;
};

// Binds a control object to the control with this id.
void ExchangeControl(DataExchange* dx, int id, PictureControl& control);
// Text of an edit box.
void ExchangeText(DataExchange* dx, int id, std::string& value);
// A signed decimal integer in an edit box.
void ExchangeText(DataExchange* dx, int id, int& value);
// Range test of the value just read (only when reading the controls).
void ValidateRange(DataExchange* dx, int value, int minimum, int maximum);

}  // namespace ui
