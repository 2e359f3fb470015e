#include "app/Korvane.h"

#include "app/GlobalOrder.h"
#include "console/KorvaneDlg.h"
#include "res/AppIcon.h"

// Constructed right after the track file's name and before the player; see
// app/GlobalOrder.h.
__attribute__((init_priority(order::kApp))) CKorvaneApp theApp;

bool CKorvaneApp::InitInstance() {
  AfxEnableControlContainer();
  Enable3dControls();

  CKorvaneDlg dlg;
  m_pMainWnd = &dlg;
  dlg.RunModal();
  // The console is gone when this returns; nothing may use it afterwards.
  m_pMainWnd = nullptr;
  return false;
}

ui::HICON CKorvaneApp::LoadIcon(int id) const {
  return res::FindIcon(id);
}
