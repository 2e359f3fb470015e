#pragma once
// The About box: the icon, the program's name and version, and OK.

#include "ui/core/Dialog.h"

class CAboutDlg : public ui::ModalDialog {
 public:
  CAboutDlg();
  ~CAboutDlg() override = default;
};
