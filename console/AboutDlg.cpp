#include "console/AboutDlg.h"

#include "res/DialogTemplates.h"

// No controls are bound and no messages handled: OK, Escape and the close box
// end the box through the dialog's standard handling.
CAboutDlg::CAboutDlg() : ui::ModalDialog(res::AboutBoxTemplate(), nullptr) {}
