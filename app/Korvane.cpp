#include "app/Korvane.h"

#include "console/KorvaneDlg.h"
#include "res/AppIcon.h"

bool CKorvaneApp::InitInstance() {
  EnableControlContainer();
  EnableThreeDimensionalLook();

  CKorvaneDlg dlg;
  m_mainWindow = &dlg;
  dlg.RunModal();
  // The console is gone when this returns; nothing may use it afterwards.
  m_mainWindow = nullptr;
  return false;
}

ui::HICON CKorvaneApp::LoadIcon(int id) const {
  return res::FindIcon(id);
}
